// Projects for the projects tests: a record read from the golden record
// format (one field a line, as make_golden.py reads it).
#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "projects/program_logic.h"
#include "projects/project_file.h"
#include "projects/projects.h"
#include "storage/storage_fixture.h"
#include "storage/text.h"

namespace trelvan {
namespace testing {

inline void SetProgram(Project& p, const std::string& hex) {
  const std::vector<uint8_t> bytes = HexBytes(hex);
  for (size_t i = 0; i < bytes.size(); ++i) p.program[i] = bytes[i];
  p.programLength = static_cast<uint8_t>(bytes.size());
  p.instructionCount = CountInstructions(p);
}

inline std::string ProgramHex(const Project& p) {
  std::string s;
  char b[4];
  for (int i = 0; i < p.programLength; ++i) {
    FormatText(b, "%02X", p.program[i]);
    s += (i ? " " : "") + std::string(b);
  }
  return s;
}

// The record a golden .txt describes (program skips as written there).
inline std::unique_ptr<Project> ReadRecord(const std::string& path) {
  std::unique_ptr<Project> p(new Project{});
  ClearProject(*p);
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    if (key == "name") CopyText(rest.c_str(), p->name, kProjectNameCapacity);
    if (key == "model") CopyText(rest.c_str(), p->moduleModel, kModelCapacity);
    if (key == "class") p->moduleClass = static_cast<uint8_t>(std::stoi(rest));
    if (key == "picture") CopyText(rest.c_str(), p->pictureName, kProjectTextCapacity);
    if (key == "nopicture") p->pictureCount = 0;
    if (key == "button") {
      std::istringstream f(rest);
      int image, x, y, mode;
      std::string name;
      std::getline(f >> image >> x >> y >> mode >> std::ws, name);
      ProjectButton& b = p->buttons[p->buttonCount++];
      b = ProjectButton{static_cast<uint8_t>(image), static_cast<uint16_t>(x), static_cast<uint16_t>(y),
                        static_cast<uint8_t>(mode), {}};
      CopyText(name.c_str(), b.name, kButtonNameCapacity);
    }
    if (key == "variable") CopyText(rest.c_str(), p->variableNames[p->variableCount++], 32);
    if (key == "int") p->constInts[p->constIntCount++] = static_cast<int16_t>(std::stoi(rest));
    if (key == "text") CopyText(rest.c_str(), p->constTexts[p->constTextCount++], 32);
    if (key == "program") SetProgram(*p, rest);
  }
  RebuildIoLabels(*p);
  return p;
}

}  // namespace testing
}  // namespace trelvan
