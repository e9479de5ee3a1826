// quenta-cli: the core of Quenta from the command line.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "actuator.h"
#include "app/startup.h"
#include "calc.h"
#include "calc_command.h"
#include "commands.h"
#include "item_file.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "refdata/database.h"
#include "refdata/sql_format.h"
#include "refdata/unit_converter.h"
#include "size.h"
#include "trim.h"

namespace {

using quenta::xConnection;
using quenta::xUnitConverters;
using json = nlohmann::json;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDatabase = 3;

const char* const kUsage =
    "Usage: quenta-cli [--json] COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  units [TABLE]          the unit names of a unit table (UnitsT, UnitsP, UnitsQ, UnitsRho,\n"
    "                         UnitsNu, UnitsPower, UnitsVelocity, UnitsFlowCapacity, UnitsForce,\n"
    "                         UnitsDist), or of all ten\n"
    "  refdb                  every table of the reference database with its row count\n"
    "  convert VALUE FROM TO  convert VALUE from unit FROM into unit TO of the same table\n"
    "  calc liquid|gas|twophase [--diffuser] [--lines]\n"
    "                         one flow calculation: reads {\"valve\": {...}, \"process\": {...}}\n"
    "                         from standard input (values in calculation units) and prints every\n"
    "                         result as JSON; --diffuser finds a plate's upstream pressure instead;\n"
    "                         --lines reads one object per line and answers one line each\n"
    "      --density RHO      density in kg/m3 for mass flow units (default 1)\n"
    "      --pressure P       flowing pressure in kPa(a) for standard and normal flow units\n"
    "                         (default 101.325)\n"
    "      --temperature T    flowing temperature in Kelvin for standard and normal flow units\n"
    "                         (default 273)\n"
    "      --atm P            atmospheric pressure in kPa(a) for gauge pressure units\n"
    "                         (default 101.325)\n"
    "  size FILE [--item N] [--save]\n"
    "                         sizes every item of a quote file (.qqf) or an item document from\n"
    "                         its stored conditions, specification and plates, and prints the\n"
    "                         chosen valve and, per condition, every result with its unit (\"!\"\n"
    "                         marks a value beyond its limit) and the notes; --item N sizes the\n"
    "                         N-th item only (from 1); --save writes the results into FILE\n"
    "  trim FILE [--item N] [--save]\n"
    "                         designs the trim sections of every item (or the N-th) whose valve\n"
    "                         and actuator are sized: new ZZ and ED sections get their defaults,\n"
    "                         every disk stack is recalculated, new CC sections get their holes;\n"
    "                         prints each section and its stage table with units\n"
    "  actuator FILE [--item N] [--failaction TEXT] [--save]\n"
    "                         sizes the actuator of every item (or the N-th) whose valve is sized,\n"
    "                         as after a reset: the valve's standard actuator for the fail action\n"
    "                         TEXT (e.g. \"Fail Open\"; else the stored or the first one), seat\n"
    "                         loading and packing friction from the catalogue; prints the actuator,\n"
    "                         the force table of the seven cases (arrows for directions, \"!\" a\n"
    "                         possible problem, \"*\" the suggested solution) and the required thrust\n"
    "  pdf FILE [-o OUT.pdf] [--details] [--force]\n"
    "                         prints the quote report of a quote file (.qqf): every item's reports\n"
    "                         as its PDF options ask, into OUT.pdf (default: FILE with the extension\n"
    "                         .pdf, beside it); what could not be printed goes to standard error, one\n"
    "                         message a line, and the exit status is then 1 (the file is written);\n"
    "                         --details adds the calculation details to every valve report of the\n"
    "                         run, whatever the items' options say (FILE is not changed); an\n"
    "                         existing OUT.pdf is replaced only with --force (the old one stays as\n"
    "                         OUT.pdf~), and never the project store, the default item, quenta.db\n"
    "                         or a quote file of the store\n"
    "  pdf FILE --item N --price [-o OUT.pdf] [--force]\n"
    "                         prints the price build-up page of the N-th item (default OUT: FILE\n"
    "                         without its extension, then -itemN-price.pdf)\n"
    "  quote SUBCOMMAND ...   the customers, quotes and items of the project store in the app-data\n"
    "                         folder ($QUENTA_APPDATA, else ~/.local/share/Tarvik/Quenta/):\n"
    "      customers                      the customers and their quotes\n"
    "      add-customer NAME              a new customer\n"
    "      list [CUSTOMER]                the quotes (of one customer) with their header values\n"
    "      add CUSTOMER NUMBER            a new quote file from the blank quote\n"
    "      import FILE ...                adds quote files where they lie (new customers too)\n"
    "      export CUSTOMER NUMBER FILE [--force]\n"
    "                                     writes a copy of the quote file; as for pdf, an\n"
    "                                     existing FILE needs --force\n"
    "      file CUSTOMER NUMBER           the path of the quote file (for size, trim, pdf ...)\n"
    "      items CUSTOMER NUMBER          the items grid (a quote without items shows the\n"
    "                                     default item)\n"
    "      new-item CUSTOMER NUMBER [--description TEXT] [--tag TEXT]\n"
    "                                     adds an item made from the default item\n"
    "      copy|cut CUSTOMER NUMBER ROWS TO-CUSTOMER TO-NUMBER\n"
    "                                     copies (or moves) items into a quote; ROWS as 1,3-5\n"
    "      delete CUSTOMER NUMBER ROWS    removes items\n"
    "      move CUSTOMER NUMBER FROM TO   moves item FROM to row TO\n"
    "      set CUSTOMER NUMBER ROW description|tag TEXT\n"
    "                                     edits an item's description or tag\n"
    "  specsheet FILE [--item N] [--set FIELD=OPTION ...] [--save]\n"
    "                         fills in the spec sheet of every item (or the N-th) whose valve is\n"
    "                         sized, as on arriving at the page: every field from the stored\n"
    "                         choice or its first option, the sizing's choices preset and locked;\n"
    "                         then each --set chooses an option (FIELD as TAB:FIELD, e.g.\n"
    "                         \"Positioner:Type=Smart - 4-20mA\", or a field name of one tab only)\n"
    "                         with the page's rules; prints every tab's fields\n"
    "  price FILE [--item N] [--discount PCT] [--freight AMOUNT] [--duty PCT] [--markup PCT]\n"
    "        [--quantity N] [--save]\n"
    "                         prices every item (or the N-th) from its spec sheet: the price lines\n"
    "                         with the stored actual prices, the inputs given, and the discounted,\n"
    "                         CIF, duty, selling and extended selling prices\n"
    "\n"
    "Options:\n"
    "  --json                 print the answer as JSON\n"
    "  --help                 print this text\n"
    "  --version              print the program's version\n";

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Args {
  bool json = false;
  bool diffuser = false;
  bool lines = false;
  std::vector<std::string> words;
  std::optional<double> density, pressure, temperature, atm;
};

double NumberOption(const std::string& option, int& i, int argc, char** argv) {
  if (i + 1 >= argc) throw UsageError(option + " needs a value");
  return quenta::StrToFloat(argv[++i]);
}

Args Parse(int argc, char** argv) {
  Args a;
  for (int i = 1; i < argc; ++i) {
    const std::string w = argv[i];
    if (w == "--json") {
      a.json = true;
    } else if (w == "--diffuser") {
      a.diffuser = true;
    } else if (w == "--lines") {
      a.lines = true;
    } else if (w == "--density") {
      a.density = NumberOption(w, i, argc, argv);
    } else if (w == "--pressure") {
      a.pressure = NumberOption(w, i, argc, argv);
    } else if (w == "--temperature") {
      a.temperature = NumberOption(w, i, argc, argv);
    } else if (w == "--atm") {
      a.atm = NumberOption(w, i, argc, argv);
    } else if (w.size() > 2 && w.rfind("--", 0) == 0) {
      throw UsageError("unknown option " + w);
    } else {
      a.words.push_back(w);
    }
  }
  return a;
}

int Units(const Args& a, const xUnitConverters& units) {
  if (a.words.size() > 2) throw UsageError("units takes at most one table name");
  json out = json::object();
  bool found = false;
  for (const auto& [table, conv] : units.All()) {
    if (a.words.size() == 2 && a.words[1] != table) continue;
    found = true;
    std::vector<std::string> names;
    conv->getList(names);
    if (a.json) {
      out[table] = names;
    } else {
      if (a.words.size() == 1) std::cout << table << ":\n";
      for (const auto& n : names) std::cout << (a.words.size() == 1 ? "  " : "") << n << '\n';
    }
  }
  if (!found) throw UsageError("unknown unit table " + a.words[1]);
  if (a.json) std::cout << (a.words.size() == 2 ? out[a.words[1]] : out).dump(2) << '\n';
  return 0;
}

int RefDb(const Args& a, xConnection& db) {
  if (a.words.size() != 1) throw UsageError("refdb takes no arguments");
  quenta::xQuery tables(db, "select name from sqlite_master where type='table' order by name ;");
  json out = json::object();
  std::size_t width = 0;
  std::vector<std::pair<std::string, std::int64_t>> counts;
  for (; !tables.Eof(); tables.Next()) {
    const std::string name = tables.FieldByName("name").AsString();
    const quenta::xQuery n(db, quenta::FormatSQL("select count(*) as n from \"%s\" ;", name));
    counts.emplace_back(name, n.FieldByName("n").AsInteger());
    width = std::max(width, name.size());
  }
  for (const auto& [name, n] : counts) {
    if (a.json) {
      out[name] = n;
    } else {
      std::cout << name << std::string(width + 2 - name.size(), ' ') << n << '\n';
    }
  }
  if (a.json) std::cout << out.dump(2) << '\n';
  return 0;
}

int Convert(const Args& a, const xUnitConverters& units) {
  if (a.words.size() != 4) throw UsageError("convert takes VALUE FROM TO");
  const double value = quenta::StrToFloat(a.words[1]);
  const std::string& from = a.words[2];
  const std::string& to = a.words[3];

  std::string table;
  quenta::xConverter* conv = nullptr;
  for (const auto& [name, c] : units.All()) {
    if (c->HasUnit(from)) {
      table = name;
      conv = c;
      break;
    }
  }
  if (!conv) throw quenta::Exception("Error finding unit: " + from);

  double result = 0;
  if (conv == units.Flow.get()) {
    const double rho = a.density.value_or(1.0);
    if (a.pressure || a.temperature)
      result = units.Flow->convert(value, from, to, rho, a.pressure.value_or(101.325),
                                   a.temperature.value_or(273.0));
    else
      result = units.Flow->convert(value, from, to, rho);
  } else if (conv == units.Pressure.get()) {
    if (a.atm) units.Pressure->SetAtmPress(*a.atm, "kPa(a)");
    result = units.Pressure->convert(value, from, to);
  } else {
    result = conv->convert(value, from, to);
  }

  if (a.json) {
    std::cout << json{{"value", result},
                      {"text", quenta::FloatToStr(result)},
                      {"from", from},
                      {"to", to},
                      {"table", table}}
                     .dump(2)
              << '\n';
  } else {
    std::cout << quenta::FloatToStr(result) << '\n';
  }
  return 0;
}

// One calculation per input object; a failure is answered with {"error": "<message>"}.
int Calc(const Args& a) {
  if (a.words.size() != 2) throw UsageError("calc takes liquid, gas or twophase");
  const std::string& kind = a.words[1];
  quenta::cli::AnswerFunction calc = nullptr;
  if (kind == "liquid") {
    calc = quenta::cli::LiquidAnswer;
  } else if (kind == "gas") {
    calc = quenta::cli::GasAnswer;
  } else if (kind == "twophase") {
    calc = quenta::cli::TwoPhaseAnswer;
  } else {
    throw UsageError("calc takes liquid, gas or twophase, not " + kind);
  }
  if (a.lines) {
    // The answers go to the file descriptor in blocks of their own, after anything cout holds.
    std::cout.flush();
    return quenta::cli::CalcLines(calc, a.diffuser, STDIN_FILENO, STDOUT_FILENO);
  }
  const std::string text(std::istreambuf_iterator<char>(std::cin), {});
  quenta::cli::xCalcInput input;
  const auto [out, good] = quenta::cli::CalcAnswer(calc, text, a.diffuser, input);
  std::cout << out.ToJson().dump(2) << '\n';
  return good ? 0 : kExitFailure;
}

int Run(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string w = argv[i];
    if (w == "--help" || w == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (w == "--version") {
      std::cout << "quenta-cli " << quenta::platform::Version() << '\n';
      return 0;
    }
  }
  // Saves that were killed half-way leave their temporary files; each run sweeps the old ones.
  quenta::RemoveStaleSaves();
  if (const std::vector<std::string> args(argv + 1, argv + argc); quenta::cli::IsItemCommand(args)) {
    const std::string command = quenta::cli::CommandWord(args);
    try {
      if (command == "trim") return quenta::cli::TrimCommand(args, std::cout, std::cerr);
      if (command == "actuator") return quenta::cli::ActuatorCommand(args, std::cout, std::cerr);
      if (command == "pdf") return quenta::cli::PdfCommand(args, std::cout, std::cerr);
      if (command == "specsheet") return quenta::cli::SpecSheetCommand(args, std::cout, std::cerr);
      if (command == "price") return quenta::cli::PriceCommand(args, std::cout, std::cerr);
      if (command == "quote") return quenta::cli::QuoteCommand(args, std::cout, std::cerr);
      if (command == "demo") return quenta::cli::DemoCommand(args, std::cout, std::cerr);
      return quenta::cli::SizeCommand(args, std::cout, std::cerr);
    } catch (const quenta::cli::CommandUsageError& e) {
      throw UsageError(e.what());
    }
  }
  const Args a = Parse(argc, argv);
  if (a.words.empty()) throw UsageError("no command given");
  const std::string& cmd = a.words[0];
  if (cmd == "calc") return Calc(a);
  if (cmd != "units" && cmd != "convert" && cmd != "refdb") throw UsageError("unknown command " + cmd);

  std::unique_ptr<xConnection> db;
  std::unique_ptr<xUnitConverters> units;
  try {
    db = quenta::OpenReferenceDatabase();
    units = std::make_unique<xUnitConverters>(*db);
  } catch (const std::exception& e) {
    std::cerr << quenta::kSeriousError << '\n' << e.what() << '\n';
    return kExitDatabase;
  }
  if (cmd == "refdb") return RefDb(a, *db);
  return cmd == "units" ? Units(a, *units) : Convert(a, *units);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const UsageError& e) {
    std::cerr << "quenta-cli: " << e.what() << "\n\n" << kUsage;
    return kExitUsage;
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return kExitFailure;
  }
}
