#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The valve record that every flow calculation takes, in calculation units. One record serves
// the liquid, gas and two-phase classes; each reads the fields it needs and carries the rest.
namespace quenta {

struct xValveCurves;

enum IEC_ValveStyle : std::uint8_t { IEC_Globe, IEC_Plug, IEC_Butterfly, IEC_Ball };
enum IEC_FlowDirection : std::uint8_t { IEC_Over, IEC_Under };

struct IEC_ValveData {
  IEC_ValveStyle Style = IEC_Globe;
  IEC_FlowDirection FlowDirection = IEC_Over;
  double Cv = 0;                // rated Cv at full travel
  double Dnom = 0;              // nominal valve diameter d, mm
  double D = 0;                 // valve bore, mm
  std::string xtTable;          // xT against relative travel (curve text)
  std::string FlTable;          // FL against relative travel
  std::string FdTable;          // Fd against relative travel
  double FiFactor = 0;          // xFz = FL² × FiFactor
  std::string Characteristic;   // relative Cv against relative travel
  std::uint8_t stages = 0;      // number of stages; 255 marks a special multi-stage trim
  double kW = 0;                // power rating, kW
  double EtaF = 0;              // acoustical efficiency factor (liquid IEC noise)
  std::string DeltaLF;          // ΔLF against xF (liquid IEC noise)
  double ldratio = 0;           // length-to-diameter ratio of single-stage trims (gas IEC noise)
  std::string Cn;               // carried, not used by the calculations
  double Fdn = 0;               // carried, not used by the calculations
  double Fln = 0;               // carried, not used by the calculations
  std::string dLwGTable;        // noise correction in dB against Δp/p1 (gas IEC noise, 2 to 5 stages)
  double NoiseAttenuation = 0;  // dB subtracted from the noise
  double NoiseDistance = 1;     // observer distance from the pipe wall, m
  bool NoiseIEC = true;         // IEC noise method (true) or the simple method
  double PipeAtten = 0;         // dB added by the simple method
  bool PlateAtten = false;      // plates fitted downstream (simple method: 6 dB less)
  // The curves of the texts above, already parsed (ShareCurves in flow/valve_curves.h); a
  // calculation parses the texts itself where this is empty.
  std::shared_ptr<const xValveCurves> Curves;
};

}  // namespace quenta
