#include "item/page_args.h"

#include "item/xml_utils.h"
#include "refdata/sql_format.h"

namespace quenta {

xUnits UnitsOf(const xUnitConverters& c) {
  xUnits u;
  u.Temp = c.Temp.get();
  u.Pressure = c.Pressure.get();
  u.Flow = c.Flow.get();
  u.Rho = c.Rho.get();
  u.Nu = c.Nu.get();
  u.Power = c.Power.get();
  u.Velocity = c.Velocity.get();
  u.FlowCapacity = c.FlowCapacity.get();
  u.Distance = c.Distance.get();
  u.Force = c.Force.get();
  return u;
}

xPageManagement::xPageManagement(pugi::xml_node _Item, xPageButtons* _Buttons)
    : Buttons(_Buttons), Item(_Item) {
  const pugi::xml_node process = GetOrAddChild(Item, "process", -1);
  managementnode = GetOrAddChild(process, "management", -1);
  bespoke = GetChildBool(process.child("valve"), "bespoke");
}

bool xPageManagement::Flag(std::string_view name) const {
  if (!managementnode.child(std::string(name).c_str())) return true;
  return GetChildBool(managementnode, name);
}

int xPageManagement::Pages() const {
  return GetChildInt(managementnode, "pagecount");
}

void xPageManagement::Write(std::string_view name, bool value) {
  SetChildBool(managementnode, name, value);
}

void xPageManagement::Cut(int n) {
  if (Buttons) {
    while (Buttons->Count() > n) Buttons->Delete(Buttons->Count() - 1);
  }
  if (Pages() > n) SetPages(n);
}

void xPageManagement::SetValveRecalc(bool value) {
  VlvRecalc = value;
  Write("valverecalc", value);
  if (value) Cut(5);
}

void xPageManagement::SetValveReset(bool value) {
  VlvReset = value;
  Write("valvereset", value);
  if (!value) return;
  SetActuatorReset(true);
  SetTrimReset(true);
  SetSpecSheetReset(true);
  Cut(5);
}

void xPageManagement::SetDiffuserRecalc(bool value) {
  DiffRecalc = value;
  Write("diffuserrecalc", value);
  if (value) Cut(4);
}

void xPageManagement::SetDiffuserReset(bool value) {
  DiffReset = value;
  Write("diffuserreset", value);
  if (value) Cut(4);
}

void xPageManagement::SetActuatorRecalc(bool value) {
  ActRecalc = value;
  Write("actuatorrecalc", value);
}

void xPageManagement::SetActuatorReset(bool value) {
  ActReset = value;
  Write("actuatorreset", value);
  if (value) Cut(6);
}

void xPageManagement::SetTrimRecalc(bool value) {
  TrRecalc = value;
  Write("trimrecalc", value);
}

void xPageManagement::SetTrimReset(bool value) {
  TrReset = value;
  Write("trimreset", value);
  if (value) Cut(7);
}

void xPageManagement::SetSpecSheetReset(bool value) {
  SSReset = value;
  Write("specsheetreset", value);
}

void xPageManagement::SetPages(int value) {
  PageCount = static_cast<std::uint8_t>(value);
  SetChildInt(managementnode, "pagecount", value);
}

void xPageManagement::ResetAllPages() {
  if (Buttons) {
    while (Buttons->Count() > 1) Buttons->Delete(Buttons->Count() - 1);
  }
  SetPages(1);
}

bool IsEngineeringUser(xConnection& db, std::string_view computer) {
  if (computer.empty()) return false;
  const xQuery q(db, FormatSQL("select * from EngUsers where computer='%s';", computer));
  return q.RecordCount() == 1;
}

}  // namespace quenta
