// The controls of the page file "TA PictureManager" by role: image-control
// record k and text-control record k of its tables.
// Generated from resources/picture_manager.layout by trelvan-rsc --header; do not edit.
// cmake --build build --target roles writes it again.
#pragma once

namespace trelvan {

enum PictureImage : int {
  kPictureFrame = 0,             // page frame
  kPictureListFrame = 1,         // list background
  kPictureExit = 2,              // exit
  kPictureNextListPage = 3,      // next 17 pictures
  kPicturePreviousListPage = 4,  // previous 17 pictures
  kPictureAdd = 5,               // add a picture
  kPictureShownFrame = 6,        // frame round the shown picture
  kPictureAddPanel = 7,          // panel behind the format and add
  kPictureStore = 8,             // store the fitted picture
  kPictureCancel = 9,            // drop the fitted picture
  kPictureImageCount = 10,
};

enum PictureText : int {
  kPictureTitle = 0,          // title
  kPictureFormat = 1,         // format
  kPictureWidthText = 2,      // width
  kPictureHeightText = 3,     // height
  kPictureColourData = 4,     // colour data
  kPictureFilesLabel = 5,     // "Picture Files"
  kPictureFilesLabelEnd = 6,  // "on this computer"
  kPictureTextCount = 7,
};

}  // namespace trelvan
