#pragma once

#include <string>

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Find a Quote" (dialog 502): asks for a part of a company name or of a
// symbol. OK copies the text exactly as typed (spaces kept, empty accepted)
// into m_strText and g_strFindText; Cancel leaves g_strFindText alone.
//
// Controls are found by object name "ctl" + resource id: "ctl103" the edit
// (QLineEdit), "ctl1" OK and "ctl2" Cancel (QPushButton).
class CDia_Find : public QDialog {
    Q_OBJECT

public:
    explicit CDia_Find(QWidget* parent = nullptr);

    // Runs the dialog modally; QDialog::Accepted after OK.
    int DoModal() { return exec(); }

    // The confirmed text; empty whenever the dialog opens.
    std::string m_strText;

public slots:
    // The OK button: takes the edit's text and accepts.
    void OnOK();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_pEdit = nullptr;
    QPushButton* m_pOK = nullptr;
    QPushButton* m_pCancel = nullptr;
};
