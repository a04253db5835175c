#pragma once
// The entry window's skin component. A skin is a Qt style sheet kept in a file; loading
// checks that the file can be read and parses as a style sheet, applying puts it on a window.

#include <QString>

class QWidget;

class SkinFramework {
public:
    // Throws Failure when the file cannot be read, is empty or is not a style sheet.
    void LoadSkin(const QString& path, const QString& iniFileName);

    int ApplyOptions() const { return options; }
    void SetApplyOptions(int flags) { options = flags; }
    void SetAutoApplyNewWindows(bool on) { newWindows = on; }
    void SetAutoApplyNewThreads(bool on) { newThreads = on; }
    bool AutoApplyNewWindows() const { return newWindows; }
    bool AutoApplyNewThreads() const { return newThreads; }

    // Puts the loaded skin on the window. Throws Failure when no skin is loaded.
    void ApplyWindow(QWidget* window);

    const QString& styleSheet() const { return sheet; }

private:
    QString sheet;
    bool loaded = false;
    int options = 0;
    bool newWindows = false;
    bool newThreads = false;
};
