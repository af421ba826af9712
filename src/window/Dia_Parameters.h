#pragma once

#include <QDialog>

class CGraph;
struct SecurityRecord;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Properties" (dialog 506): the chart settings of one quote window and its
// ticker settings (log switch, time basis, refresh period). Values are read
// from the chart and the record when the dialog opens and written back only
// by OK; Cancel, Escape or closing the window change nothing.
//
// Usage:
//     CDia_Parameters dialog(m_pGraph, &m_security, this);
//     if (dialog.DoModal() == QDialog::Accepted) { ... }
//
// Controls are found by object name "ctl" + resource id:
//   ctl507 QCheckBox "Autoscale" (Y)      ctl508 QCheckBox "Show net" (Y)
//   ctl509 QLineEdit Y min               ctl510 QLineEdit Y delta
//   ctl511 QCheckBox "Autoscale" (X, hidden, bound to nothing)
//   ctl512 QCheckBox "Show net" (X)
//   ctl513 QLineEdit X min (hidden)       ctl514 QLineEdit X delta (hidden)
//   ctl516 QLineEdit line width
//   ctl517 QCheckBox "Show marks"         ctl518 QCheckBox "Show legend"
//   ctl519 QCheckBox "Write quote data to file"
//   ctl520 QCheckBox "Time USA ET"
//   ctl521 QComboBox "Refresh every:" (editable)
//   ctl1 QPushButton "OK"                 ctl2 QPushButton "Cancel"
class CDia_Parameters : public QDialog {
    Q_OBJECT

public:
    // Both references are borrowed and must outlive the dialog; the chart
    // may be null (the ticker settings alone are then edited).
    explicit CDia_Parameters(CGraph* graph = nullptr, SecurityRecord* security = nullptr,
                             QWidget* parent = nullptr);

    // Runs the dialog modally; QDialog::Accepted after OK.
    int DoModal() { return exec(); }

    // Moves the settings into the controls. Runs every time the dialog is
    // shown; callable directly to drive the dialog without showing it.
    void OnInitDialog();

    CGraph* m_pGraph = nullptr;
    SecurityRecord* m_pSecurity = nullptr;

public slots:
    // The OK button: writes the controls back (C-locale numbers, a refresh
    // period below 1 stored as 1) and accepts.
    void OnOK();
    // A click on the Y "Autoscale" box: manual Y min and delta are enabled,
    // starting from the chart's current scale, only while it is clear.
    void OnAutoscaleY();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetRefreshText(const QString& text);

    QPushButton* m_pOK = nullptr;
    QPushButton* m_pCancel = nullptr;
    QCheckBox* m_pAutoscaleY = nullptr;  // 507
    QCheckBox* m_pNetY = nullptr;        // 508
    QLineEdit* m_pYMin = nullptr;        // 509
    QLineEdit* m_pYDelta = nullptr;      // 510
    QCheckBox* m_pAutoscaleX = nullptr;  // 511
    QCheckBox* m_pNetX = nullptr;        // 512
    QLineEdit* m_pXMin = nullptr;        // 513
    QLineEdit* m_pXDelta = nullptr;      // 514
    QLineEdit* m_pLineWidth = nullptr;   // 516
    QCheckBox* m_pShowMarks = nullptr;   // 517
    QCheckBox* m_pShowLegend = nullptr;  // 518
    QCheckBox* m_pWriteToFile = nullptr; // 519
    QCheckBox* m_pEasternTime = nullptr; // 520
    QComboBox* m_pRefresh = nullptr;     // 521
};
