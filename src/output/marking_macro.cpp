#include "output/marking_macro.h"

#include <cmath>

#include "base/platform.h"
#include "base/text.h"

namespace {

// A read of the macro file takes at most this many characters, as with a
// 100-character line buffer.
constexpr std::size_t kMaxRead = 99;

std::string_view Field(std::string_view line, std::size_t pos, std::size_t count) {
  if (line.size() <= pos) return {};
  return Trim(line.substr(pos, count));
}

}  // namespace

std::string MacroName(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return std::string(1, c);
  switch (c) {
    case '"': return "DAPEX";
    case '\'': return "APEX";
    case '+': return "PLUS";
    case ',': return "COMMA";
    case '-': return "MINUS";
    case '.': return "DOT";
    case '/': return "SLASH";
    case '\\': return "BSLASH";
    default: return "USCORE";
  }
}

std::vector<std::string_view> MacroLines(std::string_view text, std::string& storage) {
  // Text-mode reading: CR LF is one line end. An editor's UTF-8 byte-order
  // mark is no part of the first line.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  storage.clear();
  storage.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    storage.push_back(text[i]);
  }
  std::vector<std::string_view> lines;
  std::string_view rest = storage;
  while (!rest.empty()) {
    std::size_t end = rest.find('\n');
    if (end != std::string_view::npos && end < kMaxRead) {
      lines.push_back(rest.substr(0, end));
      rest.remove_prefix(end + 1);
    } else {
      // No line end within one read: the read stops at its limit (or at the
      // end of the file) and the rest of the line comes with the next read.
      std::size_t n = rest.size() < kMaxRead ? rest.size() : kMaxRead;
      lines.push_back(rest.substr(0, n));
      rest.remove_prefix(n);
    }
  }
  return lines;
}

// A percentage of the character width that no drawing of a character
// needs; a larger one comes from a damaged file and reads as 0, so that a
// macro never moves the tool off the bar or writes "inf".
constexpr double kMaxPercent = 1e6;

double Percent(std::string_view field) {
  double v = ToDouble(field);
  return std::fabs(v) <= kMaxPercent ? v : 0.0;
}

std::vector<MacroStep> ParseMacro(std::string_view text) {
  std::string storage;
  std::vector<MacroStep> steps;
  for (std::string_view line : MacroLines(text, storage)) {
    MacroStep step;
    if (line.starts_with("LEAD:"))
      step.lead = true;
    else if (!line.starts_with("CUT:"))
      continue;
    step.x = Percent(Field(line, 9, 5));
    step.w = Percent(Field(line, 17, std::string_view::npos));
    steps.push_back(step);
  }
  return steps;
}

void WriteMacro(NcText& nc, const std::vector<MacroStep>& steps, double x0, double y0,
                int char_width, double speed) {
  bool stroke_open = false;
  bool lead_seen = false;
  // Before the first LEAD the tool stands at the start point.
  double prev_x = x0;
  double prev_w = y0;
  for (const MacroStep& step : steps) {
    const double x = x0 + step.x * char_width / 100;
    const double w = y0 + step.w * char_width / 100;
    if (step.lead) {
      if (stroke_open) {
        nc.Numbered("G0M81");
        nc.Numbered("G0G60G90");
      }
      nc.Line();
      nc.Put("G0G60X");
      nc.PutNumber(x, true);
      nc.Put('W');
      nc.PutNumber(w, false);
      nc.EndLine();
      nc.Line();
      nc.Put("G1G91F");
      nc.Put(FixedText(speed, 0));
      nc.EndLine();
      lead_seen = true;
      stroke_open = false;
    } else {
      nc.Line();
      nc.Put('X');
      nc.PutNumber(x - prev_x, true);
      nc.Put('W');
      nc.PutNumber(w - prev_w, false);
      if (!stroke_open) {
        nc.Put("M80");
        stroke_open = true;
      }
      nc.EndLine();
    }
    prev_x = x;
    prev_w = w;
  }
  if (lead_seen) {
    nc.Numbered("G0M81");
    nc.Numbered("G0G60G90");
  }
}

const std::vector<MacroStep>* MacroLibrary::Find(char c) {
  std::unique_ptr<Entry>& entry = by_char_[static_cast<unsigned char>(c)];
  if (!entry) {
    entry = std::make_unique<Entry>();
    std::string text;
    std::string error;
    const std::string path = dir_ + MacroName(c) + ".MAC";
    switch (platform::ReadRegularFile(path, kMaxMacroBytes, &text, &error)) {
      case platform::ReadResult::kOk:
        entry->found = true;
        entry->steps = ParseMacro(text);
        break;
      case platform::ReadResult::kNotRegular:
      case platform::ReadResult::kTooLarge:
        // A missing macro is the font's business and goes unsaid; a macro
        // that is no file to read is a fault of the installation.
        problems_.push_back(path + ": " + error + "; the character is not marked.");
        break;
      default:
        break;
    }
  }
  return entry->found ? &entry->steps : nullptr;
}
