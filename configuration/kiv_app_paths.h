#pragma once

#include <QString>

// Where the files that ship with the client live. Every path the panel builds
// on the application folder goes through here, so that tests and the demo can
// point KIV_APP_DIR at a folder of their own.
namespace kiv_app_paths {

QString appDir();
QString defaultSettingsFile();   // data/kiv_default.ini
QString userTemplateFile();      // data/kiv_users.ini
QString renderPathFile();        // data/kiv_renderpath.ini

// Locates a bare program name of the client: first in the application
// folder, then on PATH. Elsewhere than on Windows a name ending in ".exe" is
// also tried without it. Returns the name unchanged when nothing is found.
QString findProgram(const QString& name);

// "cn" or "en": the language folder of the 3ds Max plugin files, from the
// translation file named in the default settings.
QString pluginLanguageCode();

} // namespace kiv_app_paths
