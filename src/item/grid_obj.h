#pragma once

#include <cstdint>
#include <string>

// The value behind a numeric grid cell: the exact value, its display precision and its edit
// state. Pages own one per cell.
namespace quenta {

class xGridObj {
 public:
  // modified true, changed false, 3 significant figures, value 0, no text.
  xGridObj(bool _editable, bool _showchanged);
  virtual ~xGridObj() = default;

  // The cell text: text when set, "0" for a zero value, else the value to its significant
  // figures. A pure read: a view may read a cell as often as it redraws.
  virtual std::string Display() const;
  // The view has drawn the cell's current text: clears modified.
  void MarkShown() { modified = false; }

  // The exact value as text (general form, 15 significant digits, the user's separator).
  std::string Actual() const;
  // Takes a typed text: when it is not empty and differs from Actual(), the value becomes the
  // number it holds and changed is set. A text that is no finite number leaves the value as it
  // was.
  // modified is set in every case.
  void SetActual(const std::string& text);

  double Value() const { return val; }
  // Stores a different value and sets modified and changed; the same value changes nothing.
  void SetValue(double value);

  std::uint8_t SigFigs() const { return sigfig; }
  void SetSigFigs(std::uint8_t value);

  bool modified = true;
  bool editable = false;
  bool changed = false;
  bool error = false;
  bool showchanged = false;
  std::string text;
  double val = 0;
  std::uint8_t sigfig = 3;
};

// A money cell: the currency symbol followed by the whole amount, rounded half to even.
class xGridPriceObj : public xGridObj {
 public:
  xGridPriceObj(bool _editable, bool _showchanged);

  std::string Display() const override;

  const std::string& Symbol() const { return sym; }
  void SetSymbol(const std::string& value);

  std::string sym = "R";
};

}  // namespace quenta
