#include "gui/page_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/album_editor_widgets.h"
#include "gui/albums_page_widgets.h"
#include "gui/control_widgets.h"
#include "gui/form_view.h"
#include "gui/logo_strip.h"
#include "gui/photo_detail_widgets.h"
#include "gui/post_copy_widgets.h"
#include "ui/create_account_dlg.h"
#include "ui/edit_user_detail_dlg.h"
#include "ui/login_dlg.h"
#include "ui/main_window_view.h"
#include "ui/placeholder_page.h"

namespace zerva::gui {
namespace {

void BuildLogin(QWidget* page, FormView& view) {
  QWidget* column = CentredColumn(page, 560);
  auto* grid = new QGridLayout(column);
  grid->addWidget(Label(view, kLoginEmailLabel, column), 0, 0);
  grid->addWidget(Edit(view, kLoginEmail, column), 0, 1);
  QToolButton* history = Make<QToolButton>(view, kLoginHistory, column);
  history->setArrowType(Qt::DownArrow);
  grid->addWidget(history, 0, 2);
  grid->addWidget(Label(view, kLoginPasswordLabel, column), 1, 0);
  grid->addWidget(Edit(view, kLoginPassword, column, true), 1, 1);
  grid->addWidget(Make<QCheckBox>(view, kLoginRemember, column), 2, 1);
  auto* actions = new QHBoxLayout;
  QPushButton* login = Make<QPushButton>(view, kLoginButton, column);
  login->setDefault(false);
  login->setAutoDefault(false);
  actions->addWidget(login);
  actions->addWidget(Link(view, kLoginForgot, column));
  actions->addStretch(1);
  grid->addLayout(actions, 3, 1);
  grid->addWidget(Label(view, kLoginOr, column), 4, 1);
  grid->addWidget(Make<QPushButton>(view, kLoginCreate, column), 5, 1);
  grid->addWidget(Status(view, kLoginNotice, column), 6, 1);
  grid->setRowStretch(7, 1);
}

void BuildAccount(QWidget* page, FormView& view) {
  QWidget* column = CentredColumn(page, 620);
  auto* grid = new QGridLayout(column);
  grid->setVerticalSpacing(2);
  struct Row {
    int label, edit, status, help;
    bool password;
  };
  const Row rows[] = {
      {kAccountNickLabel, kAccountNick, kAccountNickStatus, kAccountNickHelp, false},
      {kAccountEmailLabel, kAccountEmail, kAccountEmailStatus, kAccountEmailHelp, false},
      {kAccountPasswordLabel, kAccountPassword, kAccountPasswordStatus, kAccountPasswordHelp, true},
  };
  // Each field: the box, its status in red below it, then its help.
  int line = 0;
  for (const Row& row : rows) {
    grid->addWidget(Label(view, row.label, column), line, 0);
    grid->addWidget(Edit(view, row.edit, column, row.password), line, 1);
    grid->addWidget(Status(view, row.status, column), line + 1, 1);
    grid->addWidget(Help(view, row.help, column), line + 2, 1);
    grid->setRowMinimumHeight(line + 2, 22);
    line += 3;
  }
  grid->addWidget(Label(view, kAccountLanguageLabel, column), line, 0);
  grid->addWidget(Make<QComboBox>(view, kAccountLanguage, column), line, 1);
  grid->addWidget(Help(view, kAccountLanguageHelp, column), line + 1, 1);
  line += 2;
  grid->setRowMinimumHeight(line, 12);
  grid->addWidget(Help(view, kAccountAgreeHelp, column), line + 1, 1);
  grid->addWidget(Link(view, kAccountAgreeLink, column), line + 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Make<QPushButton>(view, kAccountCreate, column));
  buttons->addWidget(Make<QPushButton>(view, kAccountCancel, column));
  buttons->addStretch(1);
  grid->addLayout(buttons, line + 3, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(line + 4, 1);
}

void BuildSettings(QWidget* page, FormView& view) {
  QWidget* column = CentredColumn(page, 760);
  auto* form = new QFormLayout(column);
  form->addRow(Label(view, kSettingsFullNameLabel, column), Edit(view, kSettingsFullName, column));
  QPlainTextEdit* description = Make<QPlainTextEdit>(view, kSettingsDesc, column);
  description->setMaximumHeight(90);
  // Tab goes on to the next field, as in every other field of the form.
  description->setTabChangesFocus(true);
  form->addRow(Label(view, kSettingsDescLabel, column), description);
  form->addRow(Label(view, kSettingsLanguageLabel, column),
               Make<QComboBox>(view, kSettingsLanguage, column));
  form->addRow(Label(view, kSettingsWwwLabel, column), Edit(view, kSettingsWww, column));
  form->addRow(Label(view, kSettingsPass1Label, column), Edit(view, kSettingsPass1, column, true));
  form->addRow(Label(view, kSettingsPass2Label, column), Edit(view, kSettingsPass2, column, true));
  auto* exif = new QHBoxLayout;
  exif->addWidget(Make<QCheckBox>(view, kSettingsExifName, column));
  exif->addWidget(Make<QCheckBox>(view, kSettingsExifDesc, column));
  exif->addStretch(1);
  form->addRow(Label(view, kSettingsExifLabel, column), exif);
  form->addRow(Label(view, kSettingsWatermarkLabel, column),
               Make<QCheckBox>(view, kSettingsWatermark, column));
  form->addRow(Label(view, kSettingsMapsLabel, column),
               Make<QComboBox>(view, kSettingsMaps, column));
  form->addRow(QString(), Link(view, kSettingsPublish, column));
  auto* more = new QHBoxLayout;
  more->addWidget(Link(view, kSettingsMoreKey, column));
  more->addWidget(Label(view, kSettingsMoreValue, column, true), 1);
  form->addRow(QString(), more);
}

void BuildPlaceholder(QWidget* page, FormView& view) {
  auto* layout = new QVBoxLayout(page);
  layout->addStretch(1);
  QLabel* note = Label(view, kPlaceholderNote, page, true);
  note->setAlignment(Qt::AlignCenter);
  note->setStyleSheet("color: #5e5c64; font-style: italic;");
  layout->addWidget(note);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(Make<QPushButton>(view, kPlaceholderAction, page));
  row->addStretch(1);
  layout->addLayout(row);
  layout->addStretch(2);
}

}  // namespace

void BuildPage(PageId id, QWidget* page, FormView& view) {
  switch (id) {
    case PageId::kLogin:
      BuildLogin(page, view);
      break;
    case PageId::kCreateAccount:
      BuildAccount(page, view);
      break;
    case PageId::kEditUserDetail:
      BuildSettings(page, view);
      break;
    case PageId::kEditPhotos:
      BuildAlbumEditor(page, view);
      break;
    case PageId::kCopy:
      BuildUploadPage(page, view);
      break;
    case PageId::kAlbums:
      BuildAlbumsPage(page, view);
      break;
    case PageId::kPostCopy:
      BuildPostCopyPage(page, view);
      break;
    case PageId::kSendEmail:
      BuildSendEmailPage(page, view);
      break;
    case PageId::kPhotoDetail:
      BuildPhotoDetailPage(page, view);
      break;
    default:
      BuildPlaceholder(page, view);
      break;
  }
}

void BuildHeader(QWidget* band, FormView& view) {
  band->setObjectName("headerBand");
  band->setAutoFillBackground(true);
  band->setStyleSheet("#headerBand { background: #ffffff; border-bottom: 1px solid #c0bfbc; }");
  auto* row = new QHBoxLayout(band);
  auto* texts = new QVBoxLayout;
  QLabel* title = Label(view, kHeaderTitle, band);
  QFont titleFont("Tahoma");
  titleFont.setPointSize(14);
  titleFont.setBold(true);
  title->setFont(titleFont);
  QLabel* text = Label(view, kHeaderText, band, true);
  text->setFont(QFont("Tahoma"));
  texts->addWidget(title);
  texts->addWidget(text);
  texts->addStretch(1);
  row->addLayout(texts, 1);
  auto* logo = new QLabel("zerva", band);
  logo->setObjectName("logo");
  logo->setStyleSheet("color: #1a5fb4; font-size: 26px; font-weight: bold;");
  row->addWidget(logo);
  row->addWidget(view.Add(kHeaderLogos, new LogoStrip(band)));
  band->setMinimumHeight(76);
}

void BuildUserBar(QWidget* band, FormView& view) {
  band->setObjectName("userBar");
  band->setStyleSheet("#userBar { border-top: 1px solid #c0bfbc; }");
  auto* row = new QHBoxLayout(band);
  auto* user = new QGridLayout;
  user->addWidget(Link(view, kUserName, band), 0, 0);
  QLabel* vip = Label(view, kUserVip, band);
  vip->setStyleSheet("color: #c64600; font-weight: bold;");
  user->addWidget(vip, 0, 1);
  user->addWidget(Link(view, kUserUrl, band), 0, 2);
  user->addWidget(Link(view, kUserSettings, band), 1, 0);
  user->addWidget(Link(view, kUserLogout, band), 1, 1);
  user->addWidget(Link(view, kUserService, band), 1, 2);
  user->addWidget(Link(view, kUserNews, band), 2, 0);
  user->addWidget(Label(view, kUserNewsText, band), 2, 1, 1, 2);
  user->addWidget(Label(view, kUserStatus, band), 3, 0, 1, 2);
  user->addWidget(Link(view, kUserAbout, band), 3, 2);
  user->setColumnStretch(3, 1);
  row->addLayout(user, 1);
  row->addWidget(Make<QPushButton>(view, kUserBack, band));
  row->addWidget(Make<QPushButton>(view, kUserNext, band));
}

}  // namespace zerva::gui
