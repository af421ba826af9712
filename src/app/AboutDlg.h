#pragma once

#include <QDialog>

// The About box: the main icon, "Quorelle Version 1.1" and an OK button.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
