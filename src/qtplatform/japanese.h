#pragma once
// The editor speaks Japanese whatever the system's locale: Qt's own dialogs and buttons are
// translated with Qt's Japanese catalogue, and the default locale is Japanese (Japan).

class QCoreApplication;

namespace tovala {

// Installs Qt's Japanese translations into `app`, makes Japanese the default locale and has Qt
// draw its own (translatable) dialogs rather than the desktop's. Returns false when the catalogue
// could not be loaded (the dialogs then stay in English; everything else still applies).
bool installJapanese(QCoreApplication& app);

}  // namespace tovala
