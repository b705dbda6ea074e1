// The Edit Project Page (page 3): the project's handheld screen with its
// stored picture as background and up to 8 buttons on it, which the user
// drags into place, and the list of the buttons with their name, mode,
// picture and remove controls.
#pragma once

#include "projects/project_model.h"
#include "ui/controls.h"
#include "ui/pages.h"
#include "ui/pages/roles/edit_page_roles.h"

namespace trelvan {

struct PageContext;
struct Projects;

constexpr const char* kMsgButtonsFull =
    "Error - Can not add button! No more buttons allowed. Remove one to add another.";
constexpr const char* kButtonNameTag = "Button Name";
constexpr const char* kPictureNameTag = "Picture Name";

// The controls of one button's row and its picture on the screen: the page
// builds them, so they live here and not in the shared pools.
struct EditPageRow {
  ImageControl listPicture;    /**< x 10, 60 x 40: the button's picture */
  ImageControl screenPicture;  /**< on the screen area at the button's position */
  ImageControl nameBox;        /**< x 74, 120 x 40: opens the keyboard */
  ImageControl mode;           /**< x 198: picture 9 for mode 0, 10 for mode 1 */
  ImageControl choose;         /**< x 272: opens the select-button page */
  ImageControl remove;         /**< x 332 */
  TextControl nameText;        /**< over the name box */
  TextControl screenName;      /**< centred over the screen picture, 26 below its top */
};

struct EditPagePage {
  ImageControl* image[kEditPageImageCount];
  TextControl* text[kEditPageTextCount];
  EditPageRow rows[kMaxButtons];
};

extern const PageUnit<PageContext, Projects> kEditPageRecord;

}  // namespace trelvan
