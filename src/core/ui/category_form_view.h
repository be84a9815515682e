// What a category property form shows, as its controller sees it: the form's controls described
// once (so every front end builds the same form), then set and read by number like any page's
// controls, with the red frames of invalid fields, the focus and the modal run.
#pragma once

#include <string>
#include <vector>

#include "ui/page_view.h"

namespace zerva {

// --- Fixed controls of the forms ---
inline constexpr int kFormInfo = 1500;          // the red information line ("msgFloodsInfo")
inline constexpr int kFormInstructions = 1501;  // the flood form's instructions
inline constexpr int kFormPolicyLink = 1502;    // "msgCompetitionURL" / "msgFloodsURL"
inline constexpr int kFormCategoryLink = 1503;  // the category's own link button
inline constexpr int kFormAgreementLabel = 1504;
inline constexpr int kFormAgreement = 1505;  // check box
inline constexpr int kFormOk = 1506;         // "msgFloodsOK"
inline constexpr int kFormCancel = 1507;     // "btnCancel"
// The author group of both fixed forms: a label and an edit box per field.
inline constexpr int kFormAuthorGroup = 1510;
inline constexpr int kFormAuthorLabel = 1511;
inline constexpr int kFormAuthor = 1512;
inline constexpr int kFormAddressLabel = 1513;
inline constexpr int kFormAddress = 1514;
inline constexpr int kFormCityLabel = 1515;
inline constexpr int kFormCity = 1516;
inline constexpr int kFormZipLabel = 1517;
inline constexpr int kFormZip = 1518;
inline constexpr int kFormPhoneLabel = 1519;
inline constexpr int kFormPhone = 1520;
inline constexpr int kFormEmailLabel = 1521;
inline constexpr int kFormEmail = 1522;
inline constexpr int kFormLinkLabel = 1523;  // flood form only
inline constexpr int kFormLink = 1524;
inline constexpr int kFormLinkHint = 1525;  // "msgFloodsLink2"
// The flood form's event group.
inline constexpr int kFormEventGroup = 1530;
inline constexpr int kFormNameLabel = 1531;
inline constexpr int kFormName = 1532;
inline constexpr int kFormDescLabel = 1533;
inline constexpr int kFormDesc = 1534;
inline constexpr int kFormLocationLabel = 1535;
inline constexpr int kFormLocation = 1536;
inline constexpr int kFormRegionLabel = 1537;
inline constexpr int kFormRegion = 1538;  // combo box
inline constexpr int kFormSubcategoryLabel = 1539;
inline constexpr int kFormSubcategory = 1540;  // combo box
inline constexpr int kFormDateLabel = 1541;
inline constexpr int kFormDate = 1542;  // date and time picker
// Controls made from the service's property items take identifiers from here upwards.
inline constexpr int kFirstGeneratedControl = 2000;

// The timer that validates a moment after a field lost the focus.
inline constexpr int kFormValidateTimer = 1;
inline constexpr int kFormValidateDelayMs = 200;

// The picker's display form, and the form of its value as the view gives and takes it.
inline constexpr const char* kFormDateDisplay = "d'.'M'.'yyyy' 'H':'mm";
inline constexpr const char* kFormDateValue = "%Y-%m-%d %H:%M:%S";

enum class FormControlKind {
  kGroup,      // a group box; the controls that name it as their group go inside
  kLabel,      // right-aligned; the control after it is its field
  kText,       // a line of text
  kLink,       // a link or link button: OnCommand when clicked
  kEdit,       // one-line edit box
  kMultiEdit,  // three rows high
  kCombo,      // drop-down list
  kCheck,      // check box with its text
  kDateTime,   // date and time picker; its text is in kFormDateValue form
  kButton,     // the OK and Cancel buttons
};

struct FormControl {
  int id = 0;
  FormControlKind kind = FormControlKind::kText;
  std::string text;
  std::string tooltip;
  int group = 0;  // the enclosing group box; 0: none
  int colour = kDefaultTextColour;
};

// What the form's window tells its controller besides the usual control events.
class CategoryFormEvents : public ControlEvents {
 public:
  virtual void OnFocus(int /*control*/, bool /*gained*/) {}
};

class CategoryFormView {
 public:
  virtual ~CategoryFormView() = default;
  // The form's controls by number; the date picker's text is in kFormDateValue form.
  virtual PageView& Controls() = 0;
  // Makes the window with its controls, in order; called once before any value is set.
  virtual void Build(const std::string& caption, const std::vector<FormControl>& controls) = 0;
  // The one-pixel red frame of an invalid field.
  virtual void SetFramed(int control, bool framed) = 0;
  // The control with the keyboard focus; 0 when none of the form's has it.
  virtual int FocusedControl() const = 0;
  // Shows the window modally, reporting to `events`, until Close; true when closed with OK.
  virtual bool RunModal(CategoryFormEvents& events) = 0;
  virtual void Close(bool ok) = 0;
};

}  // namespace zerva
