#pragma once
class QCoreApplication;

// What makes Kinexo a desktop program like the others on any machine.

// Qt's own texts (standard buttons, file dialogs, text-field menus) in French whatever the
// locale; the decimal separator still follows the user's locale. False when the translations
// are not installed.
bool installeTraductionsQt(QCoreApplication& app);

// Top-level windows that are plain widgets are announced to screen readers as windows with
// their caption (Qt would give them the role of a filler).
void installeAccessibilite();
