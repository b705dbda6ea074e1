// The controls of the page file "TA EditPage" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/edit_page.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum EditPageImage : int {
  kEditPageBackground = 0,      // page background
  kEditPageLeave = 1,           // leave the page
  kEditPageEditProgram = 2,     // to the program page
  kEditPageScreenArea = 3,      // handheld screen area
  kEditPagePictureNameBox = 4,  // picture name box
  kEditPageBezelTop = 5,        // bezel top, drawn over the buttons
  kEditPageBezelBottom = 6,     // bezel bottom
  kEditPageBezelLeft = 7,       // bezel left
  kEditPageBezelRight = 8,      // bezel right
  kEditPageSaveAs = 9,          // Save As
  kEditPageSave = 10,           // Save
  kEditPageAddButton = 11,      // add a button
  kEditPageScreenTopBar = 12,   // the screen's top bar
  kEditPageUndo = 13,           // undo the last change
  kEditPageSpare14 = 14,        // spare, not drawn
  kEditPageSpare15 = 15,        // spare, not drawn
  kEditPageSpare16 = 16,        // spare, not drawn
  kEditPageImageCount = 17,
};

enum EditPageText : int {
  kEditPageTitle = 0,         // title
  kEditPagePictureLabel = 1,  // "Picture Name"
  kEditPageNote1 = 2,         // note, first line
  kEditPageNote2 = 3,         // note, second line
  kEditPageUserName = 4,      // on the screen's top bar
  kEditPagePictureName = 5,   // pictureName
  kEditPageNameLabel = 6,     // "Project Name:"
  kEditPageName = 7,          // name
  kEditPageAccessory = 8,     // on the screen's top bar
  kEditPageScreenTitle = 9,   // above the bezel
  kEditPageModuleLabel = 10,  // "Module:"
  kEditPageModule = 11,       // moduleModel
  kEditPageTextCount = 12,
};

}  // namespace trelvan
