#pragma once

class QCoreApplication;

// Qt's own buttons and dialogs (message boxes, print and file dialogs) in Spanish, from the
// translations Qt ships. False when they are not installed: the texts stay in English.
bool CargaTraducciones(QCoreApplication& app);
