#include "gui/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include "gui/qt_text.h"

namespace zerva::gui {
namespace {

QLabel* LinkLabel(QWidget* parent, const AboutLink& link) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::RichText);
  label->setText("<a href=\"" + ToQt(link.target).toHtmlEscaped() + "\">" +
                 ToQt(link.text).toHtmlEscaped() + "</a>");
  label->setToolTip("<div style='max-width: 500px'>" + ToQt(link.tooltip).toHtmlEscaped() +
                    "</div>");
  label->setToolTipDuration(10000);
  return label;
}

}  // namespace

ComponentVersions AllComponentVersions() {
  ComponentVersions versions = CoreLibraryVersions();
  versions["Qt"] = qVersion();
#ifdef ZERVA_LIBPROXY_VERSION
  versions["libproxy"] = ZERVA_LIBPROXY_VERSION;
#endif
#ifdef ZERVA_LIBUUID_VERSION
  versions["libuuid"] = ZERVA_LIBUUID_VERSION;
#endif
#ifdef ZERVA_FFMPEG_VERSION
  versions["FFmpeg"] = ZERVA_FFMPEG_VERSION;
#endif
  return versions;
}

AboutDialog::AboutDialog(QWidget* parent, bool videoConverterPresent,
                         const std::string& programFolder,
                         std::function<void(const std::string&)> open)
    : QDialog(parent), open_(std::move(open)) {
  setObjectName("aboutBox");
  setWindowTitle(ToQt(AboutVersionLine()));
  auto* layout = new QVBoxLayout(this);
  auto* version = new QLabel(ToQt(AboutVersionLine()), this);
  version->setObjectName("aboutVersion");
  QFont bold = version->font();
  bold.setBold(true);
  version->setFont(bold);
  layout->addWidget(version);

  auto* table = new QGridLayout;
  table->setVerticalSpacing(4);
  const std::vector<std::string> header = AboutHeaderRow();
  for (size_t column = 0; column < header.size(); ++column) {
    auto* title = new QLabel(ToQt(header[column]), this);
    title->setFont(bold);
    table->addWidget(title, 0, static_cast<int>(column));
  }
  int row = 1;
  for (const AboutRow& entry :
       AboutRows(videoConverterPresent, programFolder, AllComponentVersions())) {
    int column = 0;
    for (const AboutLink* link : {&entry.project, &entry.version, &entry.licence}) {
      QLabel* label = LinkLabel(this, *link);
      label->setObjectName(QString("about_%1_%2").arg(row).arg(column));
      connect(label, &QLabel::linkActivated, this,
              [this](const QString& target) { ActivateLink(FromQt(target)); });
      table->addWidget(label, row, column++);
    }
    ++row;
  }
  layout->addLayout(table);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void AboutDialog::ActivateLink(const std::string& target) {
  if (OpensInLicenceWindow(target)) {
    LicenceWindow window(this, target);
    window.exec();
    return;
  }
  if (open_) open_(target);
}

LicenceWindow::LicenceWindow(QWidget* parent, const std::string& path) : QDialog(parent) {
  setObjectName("licenceWindow");
  const LicenceView licence = ReadLicence(path);
  setWindowTitle(ToQt(licence.title));
  resize(640, 480);
  auto* layout = new QVBoxLayout(this);
  auto* text = new QPlainTextEdit(this);
  text->setObjectName("licenceText");
  text->setReadOnly(true);
  text->setPlainText(ToQt(licence.text));
  text->moveCursor(QTextCursor::Start);
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

}  // namespace zerva::gui
