#pragma once

#include <QWidget>

class QCloseEvent;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kestrune {

// The builder's one window: progress, Hide and Cancel. Each control's
// objectName is its name.
class frmMain : public QWidget {
  public:
    frmMain();
    ~frmMain() override;

    // Priority, the window reference and the one-shot start of the build.
    void Form_Load();
    // Drops the window reference.
    void Form_Unload();
    // Form_Unload, then the window goes away; the program ends when no
    // build runs.
    void Unload();

    void cmdHide_Click();
    void cmdCancel_Click();
    void cmdClose_Click();

    QGroupBox* frameProgress;
    QPushButton* cmdHide;
    QLabel* Label1;
    QLabel* lblStoreCount;
    QLabel* lblFolderCount;
    QLabel* lblWorkingOn;
    QPushButton* cmdCancel;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    bool unloaded_ = false;
};

}  // namespace kestrune
