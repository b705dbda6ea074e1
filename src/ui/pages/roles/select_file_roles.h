// The controls of the page file "TA SelectFile" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/select_file.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum SelectFileImage : int {
  kSelectFileTitleBar = 0,        // title bar
  kSelectFileFolderFrame = 1,     // folder list frame
  kSelectFileFileFrame = 2,       // file list frame
  kSelectFileCancel = 3,          // cancel
  kSelectFilePathFrame = 4,       // path line frame
  kSelectFileUpFolder = 5,        // up one folder
  kSelectFileFolderNext = 6,      // folder list: next block
  kSelectFileFolderPrevious = 7,  // folder list: previous block
  kSelectFileFilePrevious = 8,    // file list: previous block
  kSelectFileFileNext = 9,        // file list: next block
  kSelectFileImageCount = 10,
};

enum SelectFileText : int {
  kSelectFileTitle = 0,               // title
  kSelectFileFolderLabel = 1,         // folder list label
  kSelectFileFileLabel = 2,           // file list label
  kSelectFilePathLabel = 3,           // label "Path"
  kSelectFileHintFirstLine = 4,       // hint
  kSelectFileHintSecondLine = 5,      // hint
  kSelectFilePathLine = 6,            // path line
  kSelectFilePathHintFirstLine = 7,   // hint
  kSelectFilePathHintSecondLine = 8,  // hint
  kSelectFileTextCount = 9,
};

}  // namespace trelvan
