#include "projects/edit_program_page.h"

#include <cstring>
#include <initializer_list>

#include "projects/editor_pages.h"
#include "projects/program_logic.h"
#include "projects/project_file.h"
#include "projects/projects.h"
#include "projects/stored_names.h"
#include "storage/text.h"
#include "ui/pages/information_page.h"
#include "ui/pages/keyboard_pages.h"
#include "ui/pages/select_text_page.h"

namespace trelvan {

namespace {

// Pictures of the page file.
enum : uint16_t {
  kPicCancel = 1,
  kPicChained = 2,
  kPicArrow = 3,
  kPicCopy = 4,
  kPicTask = 5,
  kPicDivider = 6,
  kPicEnd = 7,
  kPicBlockEnd = 8,
  kPicEquals = 9,
  kPicIf = 10,
  kPicIfKind3 = 16,
  kPicStart = 19,
  kPicRemove = 20,
  kPromptOutput = 23,
  kPromptName = 25,
  kPromptVariable = 26,
  kPromptValue = 27,
  kPromptInput = 28,
  kPicInsert = 29,
  kPicLabel = 33,
};

constexpr uint16_t kRowTop = 45;
constexpr uint16_t kRowPitch = 22;
constexpr uint16_t kListTop = 380;


uint16_t RowY(int row) { return static_cast<uint16_t>(kRowTop + kRowPitch * row); }

ImageControl Picture(int x, int y, int w, uint16_t picture) {
  return ImageControl{static_cast<uint16_t>(x), static_cast<uint16_t>(y), static_cast<uint16_t>(w),
                      20, kSourcePageFile, picture};
}

// A label box: picture 33 with the text from x + 18 to the box's end, the
// small font for a text the usual one cannot hold, so a whole stored name
// reads in it.
void DrawLabel(PageContext& a, int x, int y, const char* text) {
  constexpr uint16_t kLabelWidth = 166;
  const ImageControl box = Picture(x, y, 186, kPicLabel);
  DrawImage(a, &box);
  const bool small = TextWidth(0, reinterpret_cast<const uint8_t*>(text)) > kLabelWidth;
  const TextControl t{static_cast<uint16_t>(x + 18), static_cast<uint16_t>(y + 2), kLabelWidth, 18,
                      static_cast<uint8_t>(small ? 1 : 0), kTextNoBackground, 0x0000, 0xFFFF};
  DrawFittedText(a.frame, &t, text);
}

void DrawOperand(PageContext& a, Projects& projects, int x, int y, uint8_t v) {
  char label[kProjectTextCapacity] = "?";
  OperandLabel(projects.project, v, label);
  DrawLabel(a, x, y, label);
}

void DrawPicture(PageContext& a, int x, int y, int w, uint16_t picture) {
  const ImageControl c = Picture(x, y, w, picture);
  DrawImage(a, &c);
}

uint16_t KindPicture(uint8_t op) {
  switch (op) {
    case kOpStart: return kPicStart;
    case kOpIf: return kPicIf;
    case kOpIfChained: return kPicChained;
    case kOpIfKind3: return kPicIfKind3;
    case kOpDivider: return kPicDivider;
    case kOpBlockEnd: return kPicBlockEnd;
    case kOpCopy: return kPicCopy;
    case kOpTask: return kPicTask;
    case kOpEnd: return kPicEnd;
    default: return 0;
  }
}

// One program row as the instruction at `pos` reads.
void DrawInstruction(PageContext& a, Projects& projects, int row, uint16_t pos) {
  const Project& p = projects.project;
  const uint8_t* b = p.program + pos;
  const uint16_t y = RowY(row);
  const uint16_t kind = KindPicture(b[0]);
  if (kind == 0) return;  // reserved opcodes are not drawn
  DrawPicture(a, 4, y, 74, kind);
  if (b[0] == kOpIf || b[0] == kOpIfChained || b[0] == kOpIfKind3) {
    DrawOperand(a, projects, 80, y, b[1]);
    DrawPicture(a, 268, y, 30, kPicEquals);
    DrawOperand(a, projects, 300, y, b[2]);
  } else if (b[0] == kOpCopy) {
    DrawOperand(a, projects, 80, y, b[1]);
    DrawPicture(a, 268, y, 30, kPicArrow);
    DrawOperand(a, projects, 300, y, b[2]);
  } else if (b[0] == kOpTask) {
    DrawLabel(a, 80, y, b[1] < kTaskCount ? kTaskNames[b[1]] : "?");
    DrawOperand(a, projects, 268, y, b[2]);
    DrawOperand(a, projects, 456, y, b[3]);
  }
}

void DrawProgramRows(PageContext& a, Projects& projects) {
  EditProgramPage& m = projects.editProgram;
  const Project& p = projects.project;
  const ProgramEditor& e = projects.programEditor;
  const ImageControl area{4, kRowTop, 794, kRowPitch * kProgramRows, 0, 0};
  EraseControl(a.frame, &area);
  for (int r = 0; r < kProgramRows; ++r) {
    const uint16_t k = static_cast<uint16_t>(e.programScroll + r);
    m.insertHandle[r] = Picture(714, RowY(r), 40, kPicInsert);
    m.removeHandle[r] = Picture(756, RowY(r), 40, kPicRemove);
    m.insertActive[r] = e.editStep == kBuildIdle && RowOffersInsertion(p, k);
    m.removeActive[r] = e.editStep == kBuildIdle && RowIsRemovable(p, k);
    if (k >= p.instructionCount) continue;
    DrawInstruction(a, projects, r, PositionOfInstruction(p, k));
    if (m.insertActive[r]) DrawImage(a, &m.insertHandle[r]);
    if (m.removeActive[r]) DrawImage(a, &m.removeHandle[r]);
  }
}

void DrawLists(PageContext& a, Projects& projects) {
  EditProgramPage& m = projects.editProgram;
  const Project& p = projects.project;
  const ProgramEditor& e = projects.programEditor;
  for (int i : {kEditProgramInputsFrame, kEditProgramOutputsFrame, kEditProgramVariablesFrame}) {
    DrawImage(a, m.image[i]);
  }
  const ImageControl variableHandles{755, kListTop, 40, kRowPitch * kMaxVariables, 0, 0};
  EraseControl(a.frame, &variableHandles);
  for (int r = 0; r < kInputsPerPage; ++r) {
    const int i = e.inputPage * kInputsPerPage + r;
    m.inputRow[r] = Picture(40, kListTop + kRowPitch * r, 186, kPicLabel);
    if (i < p.inputCount) DrawLabel(a, 40, m.inputRow[r].y, p.inputLabels[i]);
  }
  for (int r = 0; r < kMaxOutputLabels; ++r) {
    m.outputRow[r] = Picture(304, kListTop + kRowPitch * r, 186, kPicLabel);
    if (r < p.outputCount) DrawLabel(a, 304, m.outputRow[r].y, p.outputLabels[r]);
  }
  for (int r = 0; r < kMaxVariables; ++r) {
    m.variableRow[r] = Picture(564, kListTop + kRowPitch * r, 186, kPicLabel);
    m.variableRemove[r] = Picture(755, kListTop + kRowPitch * r, 40, kPicRemove);
    if (r >= p.variableCount) continue;
    DrawLabel(a, 564, m.variableRow[r].y, p.variableNames[r]);
    if (e.editStep == kBuildIdle) DrawImage(a, &m.variableRemove[r]);
  }
  const int pages = p.inputCount == 0 ? 1 : (p.inputCount - 1) / kInputsPerPage + 1;
  char line[24];
  FormatText(line, "%d of %d", e.inputPage + 1, pages);
  ShowText(a, m.text[kEditProgramInputsPage], line);
  for (int i : {kEditProgramInputsNext, kEditProgramInputsPrevious, kEditProgramAddVariable}) {
    if (m.image[i]) EraseControl(a.frame, m.image[i]);
  }
  if (e.inputPage + 1 < pages) DrawImage(a, m.image[kEditProgramInputsNext]);
  if (e.inputPage > 0) DrawImage(a, m.image[kEditProgramInputsPrevious]);
  if (e.editStep == kBuildIdle) DrawImage(a, m.image[kEditProgramAddVariable]);
}

// The title bar with the name, then the arrows where there is somewhere to scroll.
void DrawTitleBar(PageContext& a, Projects& projects) {
  EditProgramPage& m = projects.editProgram;
  const ProgramEditor& e = projects.programEditor;
  DrawImage(a, m.image[kEditProgramBackground]);
  DrawTextControl(a.frame, m.text[kEditProgramTitle], kEditProgramRecord.page.title);
  DrawTextControl(a.frame, m.text[kEditProgramProgramLabel], "Program Logic");
  DrawTextControl(a.frame, m.text[kEditProgramNameLabel], "Project Name:");
  DrawTextControl(a.frame, m.text[kEditProgramName], projects.project.name);
  if (e.programScroll > 0) DrawImage(a, m.image[kEditProgramScrollUp]);
  if (projects.project.instructionCount > e.programScroll + kProgramRows) {
    DrawImage(a, m.image[kEditProgramScrollDown]);
  }
}

// The instruction being built, in its band, with the cancel control below.
void DrawPending(PageContext& a, Projects& projects) {
  EditProgramPage& m = projects.editProgram;
  const ProgramEditor& e = projects.programEditor;
  const uint16_t y = RowY(e.insertRow);
  const ImageControl band{4, y, 794, kRowPitch, 0, 0};
  EraseControl(a.frame, &band);
  m.cancel = Picture(714, RowY(e.insertRow + 1), 80, kPicCancel);
  const ImageControl below{4, RowY(e.insertRow + 1), 794, kRowPitch, 0, 0};
  EraseControl(a.frame, &below);
  DrawImage(a, &m.cancel);
  m.boxA = m.boxB = m.boxC = ImageControl{};
  if (e.editStep == kBuildPickKind) {
    for (int i = 0; i < m.pickerCount; ++i) DrawImage(a, &m.picker[i]);
    return;
  }
  DrawPicture(a, 4, y, 74, KindPicture(e.pendingKind));
  // A condition (variable = value) and a copy (value -> variable): the first
  // box until its operand is chosen, then that operand, the sign and the second box.
  const bool condition = e.pendingKind == kOpIf || e.pendingKind == kOpIfChained;
  if (condition || e.pendingKind == kOpCopy) {
    m.boxA = Picture(80, y, 186, condition ? kPromptVariable : kPromptValue);
    if (e.editStep == (condition ? kBuildIfA : kBuildCopySource)) {
      DrawImage(a, &m.boxA);
      return;
    }
    DrawOperand(a, projects, 80, y, e.pendingA);
    DrawPicture(a, 268, y, 30, condition ? kPicEquals : kPicArrow);
    m.boxB = Picture(300, y, 186, condition ? kPromptValue : kPromptVariable);
    DrawImage(a, &m.boxB);
  } else if (e.pendingKind == kOpTask && e.editStep >= kBuildTaskP) {
    static const uint16_t kPromptP[kTaskCount] = {kPromptOutput, kPromptOutput, kPromptName, kPromptName};
    static const uint16_t kPromptQ[kTaskCount] = {kPromptInput, kPromptVariable, kPromptValue, kPromptOutput};
    const uint8_t task = e.pendingA < kTaskCount ? e.pendingA : 0;
    DrawLabel(a, 80, y, kTaskNames[task]);
    m.boxB = Picture(268, y, 186, kPromptP[task]);
    m.boxC = Picture(456, y, 186, kPromptQ[task]);
    if (e.editStep == kBuildTaskP) {
      DrawImage(a, &m.boxB);
    } else {
      DrawOperand(a, projects, 268, y, e.pendingB);
    }
    DrawImage(a, &m.boxC);
  }
}

// Everything that changes: name, lists, rows, counts, then the handles or
// the instruction being built, and the arrows.
void Refresh(PageContext& a, Projects& projects) {
  EditProgramPage& m = projects.editProgram;
  Project& p = projects.project;
  const ProgramEditor& e = projects.programEditor;
  RebuildIoLabels(p);
  DrawTitleBar(a, projects);
  DrawLists(a, projects);
  DrawProgramRows(a, projects);
  char line[48];
  FormatText(line, "Constant Integers = %d of %d", p.constIntCount, kMaxConstInts);
  ShowText(a, m.text[kEditProgramConstInts], line);
  FormatText(line, "Constant Texts = %d of %d", p.constTextCount, kMaxConstTexts);
  ShowText(a, m.text[kEditProgramConstTexts], line);
  for (int i : {kEditProgramLeave, kEditProgramEditPage, kEditProgramSave, kEditProgramSaveAs,
                kEditProgramUndo}) {
    if (!m.image[i]) continue;
    if (e.editStep != kBuildIdle) EraseControl(a.frame, m.image[i]);
    else if (i == kEditProgramUndo) DrawUndoControl(a, projects, m.image[i]);
    else DrawImage(a, m.image[i]);
  }
  if (e.editStep != kBuildIdle) DrawPending(a, projects);
}

void Init(PageContext& a, Projects& projects) {
  EditProgramPage& m = projects.editProgram;
  PageLoader load(a.ui.controls, a.storage, kEditProgramRecord.page);
  for (int i = 0; i < kEditProgramImageCount; ++i) m.image[i] = load.Image();
  for (int i = 0; i < kEditProgramTextCount; ++i) m.text[i] = load.Text();
  load.Finish();
  projects.editorPage = kEditProgramPage;
}

void Draw(PageContext& a, Projects& projects) {
  EditProgramPage& m = projects.editProgram;
  DrawTextControl(a.frame, m.text[kEditProgramVariablesLabel], "Variables");
  DrawTextControl(a.frame, m.text[kEditProgramOutputsLabel], "Outputs");
  DrawTextControl(a.frame, m.text[kEditProgramInputsLabel], "Inputs");
  Refresh(a, projects);
}

// True when both store the same program, lists and constants.
bool SameProjectData(const Project& x, const Project& y) {
  uint8_t dx[kMaxProjectData], dy[kMaxProjectData];
  const uint32_t n = EncodeProject(x, dx);
  return n == EncodeProject(y, dy) && std::memcmp(dx, dy, n) == 0;
}

void EndStep(PageContext& a, Projects& projects) {
  projects.programEditor.editStep = kBuildIdle;
  projects.editProgram.pickerCount = 0;
  // An instruction given up before it added anything is no step to undo.
  const Project* kept = NewestStep(projects.history);
  if (kept && SameProjectData(*kept, projects.project)) DropNewestStep(projects.history);
  Refresh(a, projects);
}

void ShowMessageOnPage(PageContext& a, const char* text) {
  RequestInformation(a, text, 0, kEditProgramPage);
}

// The instruction built, after its row; a block brings its divider and end.
void InsertPending(PageContext& a, Projects& projects) {
  ProgramEditor& e = projects.programEditor;
  Project& p = projects.project;
  p.modified = true;
  const uint16_t after = static_cast<uint16_t>(e.programScroll + e.insertRow - 1);
  const int16_t r = InsertAfterRow(p, after, e.pendingKind, e.pendingA, e.pendingB, e.pendingC);
  EndStep(a, projects);
  if (r < 0) ShowMessageOnPage(a, kMsgInstructionsFull);
}

void ConstantsFull(PageContext& a, Projects& projects) {
  EndStep(a, projects);
  ShowMessageOnPage(a, kMsgConstantsFull);
}

void StartInsertion(PageContext& a, Projects& projects, int row) {
  EditProgramPage& m = projects.editProgram;
  ProgramEditor& e = projects.programEditor;
  Project& p = projects.project;
  if (!CanStartInsertion(p)) {
    ShowMessageOnPage(a, kMsgInstructionsFull);
    return;
  }
  // The row being built needs a row below it for cancel: the last row scrolls up.
  if (row == kProgramRows - 1) {
    ++e.programScroll;
    --row;
  }
  const uint16_t k = static_cast<uint16_t>(e.programScroll + row);
  KeepUndo(projects);  // before the constants the steps may add
  p.modified = true;
  e.editStep = kBuildPickKind;
  e.insertRow = static_cast<uint8_t>(row + 1);
  e.pendingA = e.pendingB = e.pendingC = 0;
  m.pickerCount = OfferedKinds(p, k, m.pickerKinds);
  for (int i = 0; i < m.pickerCount; ++i) {
    m.picker[i] = Picture(4 + 76 * i, RowY(e.insertRow), 74, KindPicture(m.pickerKinds[i]));
  }
  Refresh(a, projects);
}

void Pick(PageContext& a, Projects& projects, uint8_t kind) {
  ProgramEditor& e = projects.programEditor;
  projects.editProgram.pickerCount = 0;
  e.pendingKind = kind;
  projects.project.modified = true;
  if (kind == kOpIf || kind == kOpIfChained) {
    e.editStep = kBuildIfA;
  } else if (kind == kOpCopy) {
    e.editStep = kBuildCopySource;
  } else {
    e.editStep = kBuildTaskChoice;
    for (int t = 0; t < kTaskCount; ++t) AddSelectText(a, t, kTaskNames[t]);
    RequestSelectText(a, kSelectTaskTitle, kEditProgramPage);
    return;
  }
  Refresh(a, projects);
}

void RequestConstant(PageContext& a, const char* tag, int32_t min, int32_t max) {
  char minText[8], maxText[8];
  NumberToText(min, minText);
  NumberToText(max, maxText);
  RequestNumber(a, tag, tag, min, minText, max, maxText, 0, kEditProgramPage);
}

// The stored files a task names: sounds to play, or light effects.
const StoredKind& TaskFileKind(uint8_t task) {
  return task == kTaskPlaySound ? kStoredSounds : kStoredLightEffects;
}

// The operand a click on the lists gives: an input row showing a label, an
// output or a variable; kNoOperand for none.
struct ListClick {
  uint8_t input = kNoOperand, output = kNoOperand, variable = kNoOperand;
};

ListClick ClickedOperand(Projects& projects, const PointerEventRecord& pointer) {
  EditProgramPage& m = projects.editProgram;
  const Project& p = projects.project;
  const ProgramEditor& e = projects.programEditor;
  ListClick c;
  for (int r = 0; r < kInputsPerPage; ++r) {
    const int i = e.inputPage * kInputsPerPage + r;
    if (i < p.inputCount && HitTest(pointer, &m.inputRow[r])) c.input = static_cast<uint8_t>(kOperandInputBase + i);
  }
  for (int r = 0; r < p.outputCount; ++r) {
    if (HitTest(pointer, &m.outputRow[r])) c.output = static_cast<uint8_t>(kOperandOutputBase + r);
  }
  for (int r = 0; r < p.variableCount; ++r) {
    if (HitTest(pointer, &m.variableRow[r])) c.variable = static_cast<uint8_t>(kOperandVariableBase + r);
  }
  return c;
}

// A click during the building steps 2 to 8.
void BuildingClick(PageContext& a, Projects& projects, const PointerEventRecord& pointer) {
  EditProgramPage& m = projects.editProgram;
  ProgramEditor& e = projects.programEditor;
  Project& p = projects.project;
  const ListClick c = ClickedOperand(projects, pointer);
  const uint8_t inputOrVariable = c.variable != kNoOperand ? c.variable : c.input;
  switch (e.editStep) {
    case kBuildIfA:
      if (inputOrVariable == kNoOperand) return;
      e.pendingA = inputOrVariable;
      e.editStep = kBuildIfB;
      break;
    case kBuildIfB:
      if (c.variable != kNoOperand) {
        e.pendingB = c.variable;
        InsertPending(a, projects);
        return;
      }
      if (HitTest(pointer, &m.boxB)) RequestConstant(a, kIfConstantTag, kConstIntMin, kConstIntMax);
      return;
    case kBuildCopySource:
      if (c.variable != kNoOperand) {
        e.pendingA = c.variable;
        e.editStep = kBuildCopyDestination;
        break;
      }
      if (HitTest(pointer, &m.boxA)) RequestConstant(a, kCopyConstantTag, kConstIntMin, kConstIntMax);
      return;
    case kBuildCopyDestination:
      if (c.variable == kNoOperand) return;
      e.pendingB = c.variable;
      InsertPending(a, projects);
      return;
    case kBuildTaskP:
      if (e.pendingA <= kTaskSetMotorSpeed) {
        if (c.output == kNoOperand) return;
        e.pendingB = c.output;
        e.editStep = kBuildTaskQ;
        break;
      }
      if (HitTest(pointer, &m.boxB)) OfferStoredNames(a, TaskFileKind(e.pendingA), kEditProgramPage);
      return;
    case kBuildTaskQ: {
      uint8_t q = kNoOperand;
      if (e.pendingA == kTaskSetOutput) q = inputOrVariable;
      if (e.pendingA == kTaskSetMotorSpeed || e.pendingA == kTaskPlaySound) q = c.variable;
      if (e.pendingA == kTaskLightEffect) q = c.output;
      if (q != kNoOperand) {
        e.pendingC = q;
        InsertPending(a, projects);
      } else if (e.pendingA == kTaskPlaySound && HitTest(pointer, &m.boxC)) {
        RequestConstant(a, kVolumeTag, kVolumeMin, kVolumeMax);
      }
      return;
    }
    default:
      return;
  }
  p.modified = true;
  Refresh(a, projects);
}

// Presses that work in every step: the inputs pages, removing a variable or a
// row, a row's insertion handle and the picker. True when one acted.
bool AnyStepPress(PageContext& a, Projects& projects, const PointerEventRecord& pointer) {
  EditProgramPage& m = projects.editProgram;
  ProgramEditor& e = projects.programEditor;
  Project& p = projects.project;
  const int pages = p.inputCount == 0 ? 1 : (p.inputCount - 1) / kInputsPerPage + 1;
  if (e.inputPage + 1 < pages && HitTest(pointer, m.image[kEditProgramInputsNext])) {
    ++e.inputPage;
    DrawLists(a, projects);
    return true;
  }
  if (e.inputPage > 0 && HitTest(pointer, m.image[kEditProgramInputsPrevious])) {
    --e.inputPage;
    DrawLists(a, projects);
    return true;
  }
  // Variables are removed only between instructions: a removal renumbers the
  // program, and the operands of an instruction half built would go stale.
  for (int i = 0; e.editStep == kBuildIdle && i < p.variableCount; ++i) {
    if (!HitTest(pointer, &m.variableRemove[i])) continue;
    const Project before = p;
    if (RemoveVariableChecked(p, static_cast<uint8_t>(i)) == ListChange::kReferenced) {
      SayUsedInLogic(a, p, static_cast<uint8_t>(kOperandVariableBase + i), kEditProgramPage);
    } else {
      KeepStep(projects.history, before);
      p.modified = true;
      Refresh(a, projects);
    }
    return true;
  }
  for (int r = 0; r < kProgramRows; ++r) {
    if (m.insertActive[r] && HitTest(pointer, &m.insertHandle[r])) {
      StartInsertion(a, projects, r);
      return true;
    }
    if (m.removeActive[r] && HitTest(pointer, &m.removeHandle[r])) {
      KeepUndo(projects);
      p.modified = true;
      RemoveRow(p, static_cast<uint16_t>(e.programScroll + r));
      if (e.programScroll > 0 && e.programScroll + kProgramRows > p.instructionCount) {
        e.programScroll = static_cast<uint8_t>(p.instructionCount > kProgramRows ? p.instructionCount - kProgramRows : 0);
      }
      Refresh(a, projects);
      return true;
    }
  }
  if (e.editStep == kBuildPickKind) {
    for (int i = 0; i < m.pickerCount; ++i) {
      if (HitTest(pointer, &m.picker[i])) {
        Pick(a, projects, m.pickerKinds[i]);
        return true;
      }
    }
  }
  return false;
}

// After Undo or Redo: the program scrolled back within its rows, then shown.
void ShowChangedProgram(PageContext& a, Projects& projects) {
  ProgramEditor& e = projects.programEditor;
  const Project& p = projects.project;
  if (e.programScroll + kProgramRows > p.instructionCount) {
    e.programScroll = static_cast<uint8_t>(p.instructionCount > kProgramRows ? p.instructionCount - kProgramRows : 0);
  }
  if (e.inputPage * kInputsPerPage >= p.inputCount) e.inputPage = 0;
  Refresh(a, projects);
}

void IdlePress(PageContext& a, Projects& projects, const PointerEventRecord& pointer) {
  EditProgramPage& m = projects.editProgram;
  ProgramEditor& e = projects.programEditor;
  Project& p = projects.project;
  if (HitTest(pointer, m.image[kEditProgramAddVariable])) {
    if (p.variableCount >= kMaxVariables) {
      ShowMessageOnPage(a, kMsgVariablesFull);
    } else {
      p.modified = true;
      RequestText(a, kVariableNameTag, kProjectTextCapacity - 1, 2, kEditProgramPage);
    }
  } else if (HitTest(pointer, m.image[kEditProgramEditPage])) {
    if (PageTable(a.ui.pages, kEditPagePage)) a.ui.pages.CurrentPage = kEditPagePage;
  } else if (e.programScroll > 0 && HitTest(pointer, m.image[kEditProgramScrollUp])) {
    --e.programScroll;
    Refresh(a, projects);
  } else if (e.programScroll + kProgramRows < p.instructionCount &&
             HitTest(pointer, m.image[kEditProgramScrollDown])) {
    ++e.programScroll;
    Refresh(a, projects);
  } else if (HitTest(pointer, m.image[kEditProgramUndo])) {
    if (UndoLastChange(projects)) ShowChangedProgram(a, projects);
  } else if (HitTest(pointer, m.image[kEditProgramSave])) {
    EditorSave(a, projects, kEditProgramPage);
  } else if (HitTest(pointer, m.image[kEditProgramSaveAs])) {
    RequestText(a, kSaveAsTag, kProjectNameTyped, 2, kEditProgramPage);
  } else if (HitTest(pointer, m.image[kEditProgramLeave])) {
    EditorGoOn(a, projects, kEditProgramPage, kProjectManagerPage);
  }
}

// The wheel over the program rows scrolls them, between instructions only
// as the arrows do; over the inputs list it turns its pages.
void Wheel(PageContext& a, Projects& projects, const PointerEventRecord& pointer) {
  constexpr int kWheelRows = 3;
  ProgramEditor& e = projects.programEditor;
  const Project& p = projects.project;
  const int rows = WheelOver(pointer, 4, kRowTop, 794, kRowPitch * kProgramRows);
  if (rows && e.editStep == kBuildIdle) {
    const int most = p.instructionCount > kProgramRows ? p.instructionCount - kProgramRows : 0;
    const int top = e.programScroll - rows * kWheelRows;
    e.programScroll = static_cast<uint8_t>(top < 0 ? 0 : top > most ? most : top);
    return Refresh(a, projects);
  }
  const int turned = WheelOver(pointer, projects.editProgram.image[kEditProgramInputsFrame]);
  const int pages = p.inputCount == 0 ? 1 : (p.inputCount - 1) / kInputsPerPage + 1;
  if ((turned < 0 && e.inputPage + 1 < pages) || (turned > 0 && e.inputPage > 0)) {
    e.inputPage = static_cast<uint8_t>(e.inputPage + (turned < 0 ? 1 : -1));
    DrawLists(a, projects);
  }
}

void Pointer(PageContext& a, Projects& projects) {
  ProgramEditor& e = projects.programEditor;
  const PointerEventRecord& pointer = a.input.PointerEvent;
  if (pointer.state == kPointerWheel) return Wheel(a, projects, pointer);
  if (pointer.state == kPointerReleased) {
    // Cancel acts on the release, so the press cannot reach a row below it.
    if (e.cancelPressed) {
      e.cancelPressed = false;
      EndStep(a, projects);
    }
    return;
  }
  if (pointer.state != kPointerPressed) return;
  if (e.editStep != kBuildIdle && HitTest(pointer, &projects.editProgram.cancel)) {
    e.cancelPressed = true;
    return;
  }
  if (AnyStepPress(a, projects, pointer)) return;
  if (e.editStep == kBuildIdle) {
    IdlePress(a, projects, pointer);
  } else if (e.editStep >= kBuildIfA) {
    BuildingClick(a, projects, pointer);
  }
}

// The Select Text answer in step 6: the task, or the end of the step.
void TaskChosen(PageContext& a, Projects& projects) {
  ProgramEditor& e = projects.programEditor;
  uint8_t task = 0;
  const CallResult r = TakeSelectedText(a, &task);
  if (r == kCallConfirmed && task < kTaskCount) {
    e.pendingA = task;
    e.editStep = kBuildTaskP;
    Refresh(a, projects);
  } else if (r != kCallNone) {
    EndStep(a, projects);  // no task chosen: nothing to build
  }
}

void VariableNamed(PageContext& a, Projects& projects, const char* text) {
  const Project before = projects.project;
  const ListChange r = AddVariable(projects.project, text);
  if (r == ListChange::kNameInUse) {
    ShowMessageOnPage(a, kMsgNameInUse);
  } else if (r == ListChange::kFull) {
    ShowMessageOnPage(a, kMsgVariablesFull);
  } else {
    KeepStep(projects.history, before);
    Refresh(a, projects);
  }
}

// A stored sound or light effect for the task's P, kept as a text constant
// with its whole name.
void FileNamed(PageContext& a, Projects& projects, const char* text) {
  ProgramEditor& e = projects.programEditor;
  char name[kProjectTextCapacity];
  CopyText(text, name, kProjectTextCapacity);
  const int16_t i = AddConstText(projects.project, name);
  if (i < 0) {
    ConstantsFull(a, projects);
    return;
  }
  e.pendingB = static_cast<uint8_t>(kOperandConstTextBase + i);
  e.editStep = kBuildTaskQ;
  Refresh(a, projects);
}

// A number for the step that asked: a copy's source, a condition's B or a
// sound's volume, kept as an integer constant.
void ConstantEntered(PageContext& a, Projects& projects, int16_t value) {
  ProgramEditor& e = projects.programEditor;
  const bool copy = e.editStep == kBuildCopySource && RequestTagIs(a, kCopyConstantTag);
  const bool condition = e.editStep == kBuildIfB && RequestTagIs(a, kIfConstantTag);
  const bool volume = e.editStep == kBuildTaskQ && RequestTagIs(a, kVolumeTag);
  if (!copy && !condition && !volume) return;
  const int16_t i = AddConstInt(projects.project, value);
  if (i < 0) {
    ConstantsFull(a, projects);
    return;
  }
  const uint8_t v = static_cast<uint8_t>(kOperandConstIntBase + i);
  if (copy) {
    e.pendingA = v;
    e.editStep = kBuildCopyDestination;
    Refresh(a, projects);
    return;
  }
  (condition ? e.pendingB : e.pendingC) = v;
  InsertPending(a, projects);
}

// The select-text answer in step 7: a stored name, or the keyboard to type
// one. True when the keyboard was asked for.
bool FileChosen(PageContext& a, Projects& projects) {
  const CallResult r = TakeSelectedText(a, nullptr);
  if (r == kCallConfirmed) FileNamed(a, projects, a.ui.selectText.SelectTextEntries[0]);
  if (r != kCallTyping) return false;
  const bool sound = projects.programEditor.pendingA == kTaskPlaySound;
  RequestText(a, sound ? kPlaySoundNameTag : kLightEffectNameTag, kMediaNameTyped, 1, kEditProgramPage);
  return true;
}

// A typed name is taken only when it is stored; otherwise the message names
// the nearest stored one and the step waits for another choice.
void FileTyped(PageContext& a, Projects& projects, const char* text) {
  char message[kMessageTextCapacity];
  if (CheckTypedName(a.storage, TaskFileKind(projects.programEditor.pendingA), text, message, sizeof message)) {
    FileNamed(a, projects, text);
  } else {
    ShowMessageOnPage(a, message);
  }
}

void Timer(PageContext& a, Projects& projects) {
  ProgramEditor& e = projects.programEditor;
  EditorTakeSaveAnswer(a, projects, kEditProgramPage);
  if (e.editStep == kBuildIdle && TakeEditCommand(a, projects)) ShowChangedProgram(a, projects);
  if (e.editStep == kBuildTaskChoice) TaskChosen(a, projects);
  if (e.editStep == kBuildTaskP && FileChosen(a, projects)) return;  // the keyboard answers later
  // One request is outstanding at a time; its tag says which keyboard answers it.
  const bool number = RequestTagIs(a, kCopyConstantTag) || RequestTagIs(a, kIfConstantTag) ||
                      RequestTagIs(a, kVolumeTag);
  if (number) {
    if (TakeConfirmedNumber(a)) {
      ConstantEntered(a, projects, static_cast<int16_t>(a.ui.keyboards.numeric.NumberValue));
    }
    return;
  }
  if (!TakeConfirmedText(a)) return;
  const char* text = a.ui.keyboards.alpha.EnteredText;
  if (RequestTagIs(a, kVariableNameTag)) {
    VariableNamed(a, projects, text);
  } else if (RequestTagIs(a, kSaveAsTag)) {
    EditorSaveAs(a, projects, text, kEditProgramPage);
  } else if (e.editStep == kBuildTaskP &&
             (RequestTagIs(a, kPlaySoundNameTag) || RequestTagIs(a, kLightEffectNameTag))) {
    FileTyped(a, projects, text);
  }
}

}  // namespace

const PageUnit<PageContext, Projects> kEditProgramRecord = {
    {
        "TA EditProgram",  // page file
        "Edit Project Program",  // title
        nullptr,  // fixed images
    },
    Init,  // init
    Timer,  // timer
    Pointer,  // pointer
    Draw,  // draw
};

}  // namespace trelvan
