#include "flow/flow_intermediates.h"

#include <algorithm>

namespace quenta {

void xFlowIntermediates::Guard(const char* name) {
  if (!Has(name)) guards.emplace_back(name);
}

bool xFlowIntermediates::Has(const char* name) const {
  return std::find(guards.begin(), guards.end(), name) != guards.end();
}

bool xFlowIntermediates::PipingFloorActed() const {
  return Has(kGuardFpFloor) || Has(kGuardFLPFloor) || Has(kGuardXTPFloor);
}

double ReducerBeta(double d, double pipe, bool& pf_flag, xFlowIntermediates& record) {
  double beta = d / pipe;
  if (beta < 0.25) {
    beta = 0.25;
    record.Guard(kGuardBetaFloor);
  }
  if (beta > 1) {
    pf_flag = false;
    record.Guard(kGuardNoReducer);
  }
  return beta;
}

const std::vector<xIntermediateField>& IntermediateFields() {
  using enum xIntermediateKind;
  static const std::vector<xIntermediateField> fields = {
      {"Regime", "regime", "Flow regime", Text},
      {"Choked", "choked", "Choked", YesNo},
      {"SumK1", "sumk1", "Sum K1 (inlet)", Number},
      {"SumK", "sumk", "Sum K", Number},
      {"Fp", "fp", "Piping factor Fp", Number},
      {"FLP", "flp", "FLP", Number},
      {"FF", "ff", "FF", Number},
      {"xTP", "xtp", "xTP", Number},
      {"Fgamma", "fgamma", "F gamma", Number},
      {"x", "x", "Pressure drop ratio x", Number},
      {"Y", "y", "Expansion factor Y", Number},
      {"FR", "fr", "Reynolds factor FR", Number},
      {"Rev", "rev", "Reynolds number Rev", Number},
      {"TurbulentPasses", "turbulentpasses", "Turbulent passes", Count},
      {"LaminarPasses", "laminarpasses", "Laminar passes", Count},
      {"TravelPasses", "travelpasses", "Travel passes", Count},
      {"SearchPasses", "searchpasses", "Search passes", Count},
      {"Guards", "guards", "Floors and guards", Text},
  };
  return fields;
}

const xIntermediateField* IntermediateFieldOf(std::string_view element) {
  for (const xIntermediateField& f : IntermediateFields())
    if (element == f.element) return &f;
  return nullptr;
}

std::vector<xIntermediateEntry> IntermediateEntries(const xFlowIntermediates& r) {
  const std::vector<xIntermediateField>& f = IntermediateFields();
  std::vector<xIntermediateEntry> out;
  auto text = [&](std::size_t i, std::string t) { out.push_back({&f[i], std::move(t), 0, false, false}); };
  auto number = [&](std::size_t i, const std::optional<double>& v) {
    if (v) out.push_back({&f[i], "", *v, true, false});
  };
  auto count = [&](std::size_t i, int n) {
    if (n > 0) out.push_back({&f[i], "", static_cast<double>(n), true, true});
  };
  if (!r.regime.empty()) text(0, r.regime);
  text(1, r.choked ? "Yes" : "No");
  number(2, r.SumK1);
  number(3, r.SumK);
  number(4, r.Fp);
  number(5, r.FLP);
  number(6, r.FF);
  number(7, r.xTP);
  number(8, r.Fgamma);
  number(9, r.x);
  number(10, r.Y);
  number(11, r.FR);
  number(12, r.Rev);
  count(13, r.turbulentPasses);
  count(14, r.laminarPasses);
  count(15, r.travelPasses);
  count(16, r.searchPasses);
  if (!r.guards.empty()) {
    std::string joined;
    for (const std::string& g : r.guards) joined += (joined.empty() ? "" : ", ") + g;
    text(17, joined);
  }
  return out;
}

}  // namespace quenta
