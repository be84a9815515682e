#include "post_copy_shots.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "gui/form_view.h"
#include "gui_session.h"
#include "ui/main_window_view.h"
#include "ui/post_copy_page.h"
#include "ui/send_email_page.h"

namespace zerva::test {
void ShootPostCopy(gui::ZervaWindow& window, Shooter& shooter) {
  gui::FormView& page = window.PageForm(PageId::kPostCopy);
  QWidget* banner = page.Widget(kPostCopyBannerFirst);
  if (!QTest::qWaitFor([&] { return banner->isVisible(); }, 20000)) {
    std::fprintf(stderr, "post-upload: no banners arrived\n");
  }
  // The pictures settle into the layout.
  Wait(300);
  shooter.Shoot(&window, "post-upload");

  gui::FormView& send = window.PageForm(PageId::kSendEmail);
  auto* to = qobject_cast<QLineEdit*>(send.Widget(kSendTo));
  Click(page.Widget(kPostCopySend));
  TypeInto(to, "jana.novakova@example.com, petr@example.org");
  shooter.Shoot(&window, "send-email");
  // Sent: both addresses are in the book now, and the page leads back.
  QTest::keyClick(to, Qt::Key_Return);

  Click(page.Widget(kPostCopySend));
  TypeInto(to, "jana.novakova@example.com");
  QTimer shot;
  shot.setSingleShot(true);
  QObject::connect(&shot, &QTimer::timeout, [&] {
    if (QWidget* menu = QApplication::activePopupWidget()) {
      shooter.ShootWithPopup(&window, menu, "send-address-book");
      QTest::keyClick(menu, Qt::Key_Escape);
    }
  });
  shot.start(300);
  Click(send.Widget(kSendBook));
  shot.stop();
  window.Controller().GoTo(kPostCopyPage, nullptr);
}

}  // namespace zerva::test
