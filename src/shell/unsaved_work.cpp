#include "shell/unsaved_work.h"

#include <cstdio>
#include <cstring>

#include "media/light_effect_manager_page.h"
#include "media/light_effect_format.h"
#include "projects/editor_pages.h"
#include "projects/project_file.h"
#include "shell/assistant.h"
#include "storage/storage_image.h"
#include "storage/text.h"
#include "ui/pages/information_page.h"

namespace trelvan {

static_assert(kMaxProjectData <= kDraftDataCapacity, "a project's data fits a draft");
static_assert(kLightFileCapacity <= kDraftDataCapacity, "an effect's data fits a draft");
static_assert(kProjectNameCapacity <= kDraftNameCapacity && kMediaNameCapacity <= kDraftNameCapacity,
              "names fit a draft");

namespace {

// The editors' unsaved work as a draft file into d.encoded; 0 when there is none.
uint32_t EncodeUnsavedWork(Assistant& a) {
  Draft& w = a.drafts.draft;
  if (EditorHasUnsavedWork(a.projects)) {
    w.kind = kDraftProject;
    w.page = static_cast<uint8_t>(a.projects.editorPage);
    CopyText(a.projects.project.name, w.name, kDraftNameCapacity);
    w.size = EncodeProject(a.projects.project, w.data);
  } else if (a.media.effectChanged) {
    w.kind = kDraftLightEffect;
    w.page = static_cast<uint8_t>(kLightEffectManagerPage);
    CopyText(a.media.effectName, w.name, kDraftNameCapacity);
    w.size = EncodeLightEffect(a.media.effect, w.data);
  } else {
    return 0;
  }
  return EncodeDraft(w, a.drafts.encoded);
}

// The draft into its editor, which is shown; false when its data is damaged.
bool OpenDraft(Assistant& a, const Draft& d, bool show) {
  if (d.kind == kDraftProject) {
    Projects& ps = a.projects;
    Project p;
    ClearProject(p);
    CopyText(d.name, p.name, kProjectNameCapacity);
    if (!DecodeProject(d.data, d.size, p)) return false;
    if (!show) return true;
    ps.project = p;
    ps.project.modified = true;
    ps.programEditor = ProgramEditor{};
    ps.pageEditor = PageEditor{};
    ForgetSteps(ps.history);
    const int32_t page = d.page == kEditProgramPage ? kEditProgramPage : kEditPagePage;
    ps.editorPage = page;
    if (PageTable(a.ui.pages, page)) a.ui.pages.CurrentPage = page;
    return true;
  }
  LightEffect e{};
  NewLightEffect(e);
  if (!DecodeLightEffect("2.00", d.data, d.size, e)) return false;
  if (!show) return true;
  Media& m = a.media;
  m.effect = e;
  CopyText(d.name, m.effectName, kMediaNameCapacity);
  m.effectChanged = true;
  ForgetSteps(m.history);
  if (PageTable(a.ui.pages, kLightEffectManagerPage)) a.ui.pages.CurrentPage = kLightEffectManagerPage;
  return true;
}

bool DraftPath(Assistant& a, char* out) { return JoinDataPath(a.platform.files, kDraftFileName, out); }

bool KeepsDrafts(const Assistant& a) { return !a.shell.SecondCopy && !a.shell.FolderRefused; }

}  // namespace

void KeepDraft(Assistant& a, bool now) {
  Drafts& d = a.drafts;
  if (d.offerAsked || !KeepsDrafts(a)) return;
  if (!now && ++d.ticks < kDraftTicks) return;
  d.ticks = 0;
  const uint32_t n = EncodeUnsavedWork(a);
  if (n == d.writtenSize && std::memcmp(d.encoded, d.written, n) == 0) return;
  Files& files = a.platform.files;
  char path[kPathCapacity], temporary[kPathCapacity + 8];
  if (!DraftPath(a, path)) return;
  if (n == 0) {
    files.DeleteFile(path);
    d.writtenSize = 0;
    return;
  }
  // A whole new file renamed over the old one: a cut leaves one or the other.
  std::snprintf(temporary, sizeof temporary, "%s.new", path);
  files.DeleteFile(temporary);
  const int f = files.OpenWrite(temporary);
  if (f == kNoFile) return;  // tried again in a second
  bool whole = files.WriteFile(f, d.encoded, n) == n;
  if (now) whole = files.FlushFile(f) && whole;  // at the end only: the tick never waits on the disk
  whole = files.CloseFile(f) && whole;
  if (!whole || !files.RenameFile(temporary, path)) {
    files.DeleteFile(temporary);
    return;
  }
  std::memcpy(d.written, d.encoded, n);
  d.writtenSize = n;
}

void OfferDraft(Assistant& a) {
  Drafts& d = a.drafts;
  Files& files = a.platform.files;
  char path[kPathCapacity];
  if (!KeepsDrafts(a) || !DraftPath(a, path)) return;
  const int f = files.OpenRead(path);
  if (f == kNoFile) return;
  const uint32_t n = files.ReadFile(f, d.written, kDraftFileCapacity);
  files.CloseFile(f);
  if (!DecodeDraft(d.written, n, &d.draft) || !OpenDraft(a, d.draft, false)) {
    char aside[kPathCapacity + 32], message[2 * kPathCapacity + 200];
    if (RenameAside(files, path, aside, sizeof aside)) {
      std::snprintf(message, sizeof message,
                    "Unsaved work kept from the last session could not be read; the file was set "
                    "aside as \"%s\".", aside);
    } else {
      files.DeleteFile(path);
      std::snprintf(message, sizeof message,
                    "Unsaved work kept from the last session in \"%s\" could not be read and was "
                    "removed.", path);
    }
    EndOnWholeCharacter(message);
    a.platform.window.ShowMessageBox(message);
    return;
  }
  d.writtenSize = n;
  const char* kind = d.draft.kind == kDraftProject ? "project" : "light effect";
  char question[kMessageTextCapacity];
  if (d.draft.name[0]) {
    FormatText(question, "Unsaved %s \"%s\" kept from the last session. Open it again?", kind, d.draft.name);
  } else {
    FormatText(question, "Unsaved %s kept from the last session. Open it again?", kind);
  }
  d.offerAsked = 1;
  RequestInformation(a, question, kInfoYesShown | kInfoNoShown, kMainPage);
}

void TakeDraftAnswer(Assistant& a) {
  Drafts& d = a.drafts;
  if (!d.offerAsked) return;
  const uint16_t answer = TakeInformationAnswer(a);
  if (answer == 0) return;
  d.offerAsked = 0;
  if (answer == kInfoYesPressed && OpenDraft(a, d.draft, true)) return;
  char path[kPathCapacity];
  if (DraftPath(a, path)) a.platform.files.DeleteFile(path);
  d.writtenSize = 0;
}

bool AskBeforeClosing(Assistant& a) {
  Projects& ps = a.projects;
  if (EditorHasUnsavedWork(ps)) {
    EditorGoOn(a, ps, ps.editorPage, kGoOnToEnd);
    return true;
  }
  if (a.media.effectChanged) {
    LightGoOn(a, a.media, kGoOnToEnd);
    return true;
  }
  return false;
}

}  // namespace trelvan
