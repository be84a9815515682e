// Drives the embedded map page of the GPS picker from the tests and the screenshot tool, as the
// user would with the page's own find and save buttons.
#pragma once

#include <QString>

class QWebEngineView;

namespace zerva::test {

// Runs `script` in the map page until it returns true (the page may still be loading); false
// after 20 s.
bool RunOnPage(QWebEngineView* map, const QString& script);

// Types "latitude longitude" into the page's find field and presses its find button: the page
// points at the place (a pending position).
bool FindOnPage(QWebEngineView* map, double latitude, double longitude);
// Presses the page's save button.
bool SaveOnPage(QWebEngineView* map);

}  // namespace zerva::test
