// The category property forms on a fake window: the fixed and the generated competition form,
// the flood form, the validation display with its focus rule, and descriptions a hostile or
// broken service could send.
#include "ui/category_form.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app/elements.h"
#include "app/trace.h"
#include "category/property_item.h"
#include "core/category/category_xml.h"
#include "core/ui/fake_form_view.h"
#include "lang/localization.h"
#include "lang/text.h"

namespace zerva {
namespace {

using test::FakeFormView;
using test::FormItemXml;

std::string Check(const std::string& kind, const std::string& message,
                  const std::string& parameter = "", const std::string& value = "") {
  std::string content = MakeElement("message", message);
  if (!parameter.empty()) content += MakeElement(parameter, value);
  return MakeElement(kind, content);
}

std::string Group(const std::string& name, const std::string& more = "") {
  return MakeElement("groupName", name) + more;
}

// The demo service's flood report: every field type and validator kind.
std::string DemoItems() {
  return FormItemXml("location", "string", "Place",
                     Check("requireValidator", "Enter the place") +
                         Check("maxLengthValidator", "At most 60", "maxLength", "60"),
                     Group("Event")) +
         FormItemXml("desc", "string", "What happened",
                     Check("minLengthValidator", "Write at least 10 letters", "minLength", "10") +
                         Check("regexValidator", "Letters only", "regex", "^\\c+$"),
                     Group("Event", MakeElement("multiline", "1"))) +
         FormItemXml("region", "select", "Region", Check("requireValidator", "Choose the region"),
                     Group("Event", MakeElement("items", MakeElement("item", "South") +
                                                             MakeElement("item", "North")))) +
         FormItemXml("date", "dateTime", "Date",
                     Check("minValueValidator", "No earlier than 1990", "minValue", "1990"),
                     Group("Event")) +
         FormItemXml("author", "string", "Author", Check("requireValidator", "Enter your name"),
                     Group("Author")) +
         FormItemXml("agree", "bool", "Publish", Check("requireValidator", "Please agree"),
                     Group("Author", MakeElement("initialValue", "true")));
}

class CategoryForms : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Localization().LoadLocal()); }

  CategoryFormContext Context(int id, const PropertyItems* items) {
    CategoryFormContext context;
    context.categoryId = id;
    context.categoryName = "Floods";
    context.info = &info_;
    context.items = items;
    context.userFullName = "Eva Nová";
    context.userEmail = "eva@example.com";
    context.albumName = "Summer";
    context.albumDesc = "Line one<br>line two";
    context.openUrl = [this](const std::string& url) { opened_.push_back(url); };
    return context;
  }

  // Runs the form on the fake window; `script` acts as the user.
  bool Run(CategoryDlg& form, const std::function<void(FakeFormView&)>& script) {
    view_.script = script;
    return form.Run(view_);
  }

  // The OK button follows Collect without output after every change.
  void ExpectOkFollowsCollect(CategoryDlg& form) {
    EXPECT_EQ(view_.OkEnabled(), form.Collect(nullptr));
  }

  CCategoryInfo info_;
  FakeFormView view_;
  std::vector<std::string> opened_;
};

TEST_F(CategoryForms, TheFixedCompetitionFormNeedsTheAgreementAndAllSixFields) {
  std::unique_ptr<CategoryDlg> form = CreateCategoryDialog(Context(4, nullptr));
  std::string info;
  const bool ok = Run(*form, [&](FakeFormView& view) {
    EXPECT_EQ(view.caption, Text("msgFloodsCaption") + " Floods");
    EXPECT_EQ(view.TextOf(kFormAuthor), "Eva Nová");
    EXPECT_EQ(view.TextOf(kFormEmail), "eva@example.com");
    const char* values[] = {"Eva", "Main 1", "Brno", "60200", "123", "eva@example.com"};
    const int fields[] = {kFormAuthor, kFormAddress, kFormCity, kFormZip, kFormPhone, kFormEmail};
    for (size_t i = 0; i < 6; ++i) view.Type(fields[i], values[i]);
    // Every field filled, but no agreement: never confirmable.
    EXPECT_FALSE(view.OkEnabled());
    view.Click(kFormOk);
    EXPECT_FALSE(view.closed);
    view.Check(kFormAgreement, true);
    EXPECT_TRUE(view.OkEnabled());
    // Emptying the field being typed in: it is not framed, the others are judged.
    view.FocusOn(kFormCity);
    view.Type(kFormCity, "");
    EXPECT_FALSE(view.OkEnabled());
    EXPECT_EQ(view.framed.count(kFormCity), 0u);
    view.FocusOn(kFormZip);
    EXPECT_EQ(view.framed.count(kFormCity), 1u);
    view.Type(kFormCity, "Brno");
    EXPECT_TRUE(view.OkEnabled());
    EXPECT_TRUE(view.framed.empty());
    view.controls.PressEnter();
  });
  ASSERT_TRUE(ok);
  const ValueSet values = ParseValueSet(form->Result());
  EXPECT_EQ(values.size(), 6u);
  EXPECT_EQ(values.at("zipcode"), "60200");
  EXPECT_EQ(values.at("author"), "Eva");
}

TEST_F(CategoryForms, TheAgreementOffEmptiesTheInformationLineAndEscapeCancels) {
  const PropertyItems items = ParsePropertyItems(DemoItems());
  std::unique_ptr<CategoryDlg> form = CreateCategoryDialog(Context(4, &items));
  const bool ok = Run(*form, [&](FakeFormView& view) {
    view.Check(kFormAgreement, true);
    EXPECT_EQ(view.TextOf(kFormInfo), "Enter the place");
    view.Check(kFormAgreement, false);
    EXPECT_EQ(view.TextOf(kFormInfo), "");
    view.controls.PressEnter();  // OK is disabled: nothing happens
    EXPECT_FALSE(view.closed);
    view.events->OnEscape();
  });
  EXPECT_FALSE(ok);
  EXPECT_TRUE(form->Result().empty());
}

TEST_F(CategoryForms, GeneratedControlsTheirNumbersGroupsTooltipsAndStartValues) {
  const PropertyItems items = ParsePropertyItems(
      FormItemXml("a", "string", "First", "", Group("One")) +
      FormItemXml("b", "int", "Second", "", Group("One", MakeElement("multiline", "1"))) +
      FormItemXml("c", "bool", "Third", "", Group("Two", MakeElement("initialValue", "true"))) +
      FormItemXml("author", "string", "Author", "") + FormItemXml("when", "dateTime", "When", "") +
      FormItemXml("x", "colour", "Unknown", ""));
  ASSERT_EQ(items.size(), 6u);
  CategoryFormContext context = Context(4, &items);
  // Stored values: "c" is overridden by its initial value, "when" is shown as stored.
  context.valueSet = WriteValueSet(
      {{"a", "kept"}, {"c", "false"}, {"when", "2011-01-05 10:00:00"}, {"x", "blue"}});
  std::unique_ptr<CategoryDlg> form = CreateCategoryDialog(std::move(context));
  Run(*form, [&](FakeFormView& view) {
    using K = FormControlKind;
    const std::vector<std::pair<int, K>> expected = {
        {2000, K::kGroup},     {2001, K::kLabel}, {2002, K::kEdit},  {2003, K::kLabel},
        {2004, K::kMultiEdit}, {2005, K::kGroup}, {2006, K::kLabel}, {2007, K::kCheck},
        {2008, K::kLabel},     {2009, K::kEdit},  {2010, K::kLabel}, {2011, K::kDateTime},
        {2012, K::kLabel},     {2013, K::kEdit}};
    for (const auto& [id, kind] : expected) {
      const FormControl* entry = view.Entry(id);
      ASSERT_NE(entry, nullptr) << id;
      EXPECT_EQ(entry->kind, kind) << id;
    }
    EXPECT_EQ(view.Entry(2000)->text, "One");
    EXPECT_EQ(view.Entry(2002)->group, 2000);
    EXPECT_EQ(view.Entry(2007)->group, 2005);
    EXPECT_EQ(view.Entry(2009)->group, 0);  // no group name: no group box
    EXPECT_EQ(view.Entry(2001)->text, "First:");
    EXPECT_EQ(view.Entry(2014), nullptr);
    EXPECT_EQ(view.TextOf(2002), "kept");
    EXPECT_TRUE(view.controls.IsChecked(2007));
    EXPECT_EQ(view.TextOf(2009), "Eva Nová");
    EXPECT_EQ(view.TextOf(2011), "2011-01-05 10:00:00");
    EXPECT_EQ(view.TextOf(2013), "blue");
    view.Check(kFormAgreement, true);
    view.Click(kFormOk);
  });
  const ValueSet values = ParseValueSet(form->Result());
  EXPECT_EQ(values.at("c"), "true");
  EXPECT_EQ(values.at("when"), "2011-01-05 10:00:00");
  EXPECT_EQ(values.at("b"), "");
  EXPECT_EQ(values.size(), 6u);
}

TEST_F(CategoryForms, DescriptionsAreTooltipsOfTheLabelAndTheField) {
  const PropertyItems items = ParsePropertyItems(MakeElement(
      "item", MakeElement("key", "k") + MakeElement("type", "string") + MakeElement("name", "N") +
                  MakeElement("description", "Say it briefly")));
  std::unique_ptr<CategoryDlg> form = CreateCategoryDialog(Context(4, &items));
  Run(*form, [](FakeFormView& view) {
    EXPECT_EQ(view.Entry(2000)->tooltip, "Say it briefly");
    EXPECT_EQ(view.Entry(2001)->tooltip, "Say it briefly");
  });
}

TEST_F(CategoryForms, ValidatorsInTheirOrderTheFirstMessageAndOkExactlyWhenCollectPasses) {
  const PropertyItems items = ParsePropertyItems(DemoItems());
  std::unique_ptr<CategoryDlg> form = CreateCategoryDialog(Context(4, &items));
  // location 2002, desc 2004, region 2006, date 2008, group "Author" 2009, author 2011,
  // agree 2013.
  Run(*form, [&](FakeFormView& view) {
    EXPECT_TRUE(view.controls.IsChecked(2013));  // initialValue
    view.Check(kFormAgreement, true);
    ExpectOkFollowsCollect(*form);
    // Two invalid fields: the lower number's message; both framed; focus does not matter.
    view.FocusOn(2002);
    EXPECT_EQ(view.TextOf(kFormInfo), "Enter the place");
    EXPECT_EQ(view.framed, (std::set<int>{2002, 2004, 2006}));
    view.Type(2002, "Brno");
    ExpectOkFollowsCollect(*form);
    // "ab" fails the minimum length before the pattern is tried.
    view.Type(2004, "ab");
    EXPECT_EQ(view.TextOf(kFormInfo), "Write at least 10 letters");
    view.Type(2004, "abcdefghij1");
    EXPECT_EQ(view.TextOf(kFormInfo), "Letters only");
    view.Type(2004, "Waterrising");
    // A select with no selection fails its requireValidator.
    EXPECT_EQ(view.TextOf(kFormInfo), "Choose the region");
    EXPECT_FALSE(view.OkEnabled());
    view.Choose(2006, 1);
    ExpectOkFollowsCollect(*form);
    // The date reads as its year.
    view.Type(2008, "1989-12-31 23:59:59");
    EXPECT_EQ(view.TextOf(kFormInfo), "No earlier than 1990");
    view.Type(2008, "1990-01-01 00:00:00");
    // A check box's "false" passes requireValidator.
    view.Check(2013, false);
    EXPECT_EQ(view.TextOf(kFormInfo), "");
    EXPECT_TRUE(view.OkEnabled());
    ExpectOkFollowsCollect(*form);
    view.Click(kFormOk);
  });
  const ValueSet values = ParseValueSet(form->Result());
  EXPECT_EQ(values.at("region"), "North");
  EXPECT_EQ(values.at("agree"), "false");
  EXPECT_EQ(values.at("author"), "Eva Nová");
}

TEST_F(CategoryForms, LosingTheFocusValidatesAfterTheDelay) {
  const PropertyItems items = ParsePropertyItems(DemoItems());
  std::unique_ptr<CategoryDlg> form = CreateCategoryDialog(Context(4, &items));
  Run(*form, [&](FakeFormView& view) {
    view.FocusOn(2002);
    view.FocusOn(2004);  // no agreement: no timer
    EXPECT_FALSE(view.controls.TimerRunning(kFormValidateTimer));
    view.Check(kFormAgreement, true);
    view.Type(2002, "Brno");
    view.FocusOn(2006);
    ASSERT_TRUE(view.controls.TimerRunning(kFormValidateTimer));
    EXPECT_EQ(view.controls.timers[kFormValidateTimer], kFormValidateDelayMs);
    view.controls.controls[kFormInfo].text = "stale";
    view.controls.Fire(kFormValidateTimer);
    EXPECT_EQ(view.TextOf(kFormInfo), "Write at least 10 letters");
    // The agreement taken back before the timer fires: the line is emptied.
    view.FocusOn(2002);
    view.Check(kFormAgreement, false);
    view.controls.controls[kFormInfo].text = "stale";
    view.controls.Fire(kFormValidateTimer);
    EXPECT_EQ(view.TextOf(kFormInfo), "");
  });
}

TEST_F(CategoryForms, TheFloodFormShowsTheAlbumAndFramesAnUnchosenRegion) {
  info_.url = "https://example.com/floods";
  info_.caption = "About";
  info_.description = "Photos of floods";
  CategoryFormContext context = Context(105, nullptr);
  context.valueSet = WriteValueSet({{"name", "Old"}, {"region", "Olomouc"}, {"city", "Brno"}});
  std::unique_ptr<CategoryDlg> form = CreateCategoryDialog(std::move(context));
  const bool ok = Run(*form, [&](FakeFormView& view) {
    EXPECT_EQ(view.TextOf(kFormName), "Summer");
    EXPECT_EQ(view.TextOf(kFormDesc), "Line one\nline two");
    EXPECT_EQ(view.TextOf(kFormCity), "Brno");
    EXPECT_EQ(view.Entry(kFormCategoryLink)->text, "About");
    EXPECT_EQ(view.Entry(kFormCategoryLink)->tooltip, "Photos of floods");
    view.Click(kFormCategoryLink);
    view.Click(kFormPolicyLink);
    const auto& regions = view.controls.controls[kFormRegion].items;
    ASSERT_GT(regions.size(), 2u);
    EXPECT_EQ(regions[0], Text("msgSelect"));
    EXPECT_EQ(regions[view.controls.Selected(kFormRegion)], "Olomouc");
    // The subcategories come from the language file when the category names none.
    const auto& subcategories = view.controls.controls[kFormSubcategory].items;
    ASSERT_GT(subcategories.size(), 1u);
    EXPECT_EQ(subcategories[1], SplitTextList(Text("subcategoryNames"))[0]);
    EXPECT_EQ(view.controls.Selected(kFormSubcategory), 0);

    view.Choose(kFormRegion, 0);
    EXPECT_EQ(view.framed.count(kFormRegion), 1u);  // framed with or without the agreement
    view.Check(kFormAgreement, true);
    for (int control : {kFormLocation, kFormAddress, kFormZip, kFormPhone}) {
      view.Type(control, "x");
    }
    view.Choose(kFormSubcategory, 1);
    EXPECT_FALSE(view.OkEnabled());
    view.Choose(kFormRegion, 2);
    EXPECT_TRUE(view.framed.empty());
    EXPECT_TRUE(view.OkEnabled());
    // The information line keeps its text.
    EXPECT_EQ(view.TextOf(kFormInfo), Text("msgFloodsInfo"));
    view.Click(kFormOk);
  });
  ASSERT_TRUE(ok);
  EXPECT_EQ(opened_.size(), 2u);
  EXPECT_EQ(opened_[0], "https://example.com/floods");
  EXPECT_NE(opened_[1].find("?category=105"), std::string::npos);
  const ValueSet values = ParseValueSet(form->Result());
  EXPECT_EQ(values.size(), 13u);
  EXPECT_EQ(values.at("name"), "Summer");
  EXPECT_EQ(values.at("link"), "");
  EXPECT_EQ(values.at("email"), "eva@example.com");
  EXPECT_EQ(values.at("date").size(), 19u);
}

TEST_F(CategoryForms, TheFloodFormTakesTheServicesSubcategoriesOrTracesTheBuiltInList) {
  const std::string line = "No subcategories received from the server, using hardcoded list";
  auto newestTrace = [] {
    const std::vector<std::string> newest = RecentTraceMessages(1, true);
    return newest.empty() ? std::string() : newest[0];
  };
  Trace(kTraceNotice, 0, "%s\n", "before the forms");
  info_.subCategories = MakeElement("subCategory", "Rivers") + MakeElement("subCategory", "Towns");
  std::unique_ptr<CategoryDlg> form = CreateCategoryDialog(Context(105, nullptr));
  Run(*form, [](FakeFormView& view) {
    EXPECT_EQ(view.controls.controls[kFormSubcategory].items,
              (std::vector<std::string>{Text("msgSelect"), "Rivers", "Towns"}));
  });
  EXPECT_NE(newestTrace().find("before the forms"), std::string::npos);
  info_.subCategories.clear();
  form = CreateCategoryDialog(Context(105, nullptr));
  EXPECT_NE(newestTrace().find(line), std::string::npos);
  // With property items of its own the flood category gets the generated form.
  const PropertyItems items = ParsePropertyItems(DemoItems());
  form = CreateCategoryDialog(Context(105, &items));
  EXPECT_NE(dynamic_cast<Competition*>(form.get()), nullptr);
}

// The field of item i when every ten items open a group box.
int FieldOf(int i) {
  return kFirstGeneratedControl + i / 10 + 1 + 2 * i + 1;
}

TEST_F(CategoryForms, HostileDescriptionsGiveAUsableFormQuickly) {
  // 200 fields, unknown types, an item without a name, broken XML and a pattern that
  // backtracks without end on a long value.
  std::string xml;
  for (int i = 0; i < 200; ++i) {
    xml += FormItemXml(
        "k" + std::to_string(i), i % 7 == 0 ? "weird" : "string", "Field " + std::to_string(i),
        Check("regexValidator", "Bad", "regex", "^(a+)+b$"), Group("G" + std::to_string(i / 10)));
  }
  xml += MakeElement("item", MakeElement("key", "noname") + MakeElement("type", "string"));
  xml += "<item><key>cut</key><type>string</type><name>Cut";
  const PropertyItems items = ParsePropertyItems(xml);
  ASSERT_EQ(items.size(), 200u);
  std::unique_ptr<CategoryDlg> form = CreateCategoryDialog(Context(4, &items));
  const auto start = std::chrono::steady_clock::now();
  const bool ok = Run(*form, [&](FakeFormView& view) {
    std::set<int> ids;
    for (const FormControl& entry : view.entries) EXPECT_TRUE(ids.insert(entry.id).second);
    EXPECT_EQ(view.Entry(2002)->kind, FormControlKind::kEdit);  // "weird": typed in
    view.Check(kFormAgreement, true);
    for (int i = 0; i < 199; ++i) view.Type(FieldOf(i), "ab");
    EXPECT_FALSE(view.OkEnabled());
    EXPECT_EQ(view.framed, (std::set<int>{FieldOf(199)}));
    // A field numbered far beyond the first hundred still tells the OK button; its value
    // makes the pattern run out of steps, which lets it pass.
    view.Type(FieldOf(199), std::string(3000, 'a'));
    EXPECT_TRUE(view.OkEnabled());
    ExpectOkFollowsCollect(*form);
    view.Click(kFormOk);
  });
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
  EXPECT_TRUE(ok);  // a pattern that runs out of steps does not block the form

  // Nothing usable at all: the fixed form.
  const PropertyItems none = ParsePropertyItems("<item><key>k</key><type>string</typ");
  EXPECT_TRUE(none.empty());
  form = CreateCategoryDialog(Context(4, &none));
  Run(*form, [](FakeFormView& view) { EXPECT_NE(view.Entry(kFormAuthor), nullptr); });
}

}  // namespace
}  // namespace zerva
