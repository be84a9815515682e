#include "map_page.h"

#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>

namespace zerva::test {

bool RunOnPage(QWebEngineView* map, const QString& script) {
  // Answers may come after a wait gave up, so they land in state that outlives it.
  struct Answer {
    bool answered = false;
    bool done = false;
  };
  return QTest::qWaitFor(
      [&] {
        auto answer = std::make_shared<Answer>();
        map->page()->runJavaScript(script, [answer](const QVariant& result) {
          answer->done = result.toBool();
          answer->answered = true;
        });
        return QTest::qWaitFor([&] { return answer->answered; }, 2000) && answer->done;
      },
      20000);
}

bool FindOnPage(QWebEngineView* map, double latitude, double longitude) {
  return RunOnPage(map, QString("(function(){var f=document.getElementById('find');"
                                "if(!f)return false;f.value='%1 %2';"
                                "document.getElementById('findBtn').click();return true;})()")
                            .arg(latitude, 0, 'f', 7)
                            .arg(longitude, 0, 'f', 7));
}

bool SaveOnPage(QWebEngineView* map) {
  return RunOnPage(map,
                   "(function(){var b=document.getElementById('saveBtn');"
                   "if(!b)return false;b.click();return true;})()");
}

}  // namespace zerva::test
