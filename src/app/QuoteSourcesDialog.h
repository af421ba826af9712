#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>

#include "quote/QuoteSourceDefinition.h"
#include "quote/QuoteSourceTrial.h"

class QLabel;
class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// Tools > Quote Sources...: the known quote sources with a box to enable
// each and Up/Down for the order they are tried in; the selected source's
// definition (read-only) and its base override (the setting
// QuoteHosts/<id>); Test, which asks the selected source once for a symbol
// of a country and shows each field, the time taken and the start of the
// raw answer. Save writes the enabled order and the bases to the settings;
// the definitions file is never written here. A message about the user's
// definitions file stands at the top.
class CQuoteSourcesDialog : public QDialog {
    Q_OBJECT

public:
    explicit CQuoteSourcesDialog(QWidget* parent = nullptr);
    int DoModal() { return exec(); }

    // The rows as the dialog holds them now.
    const std::vector<SourceChoice>& Choices() const { return m_choices; }
    // Writes the enabled order and the changed bases; false, with the
    // reason shown in the dialog, when they cannot be saved.
    bool Save();
    // Tests the selected source (the Test button).
    void TestSelected();

private:
    void FillList(int selectRow);
    void ShowSelected();
    void MoveSelected(int delta);
    void OnItemChanged(QListWidgetItem* item);
    void OnSave();
    void ShowTrial(const SourceTrial& trial);
    const QuoteSourceDefinition* Selected() const;
    // The base the selected source is asked at: the edited override, else
    // the older setting its definition names, else QUORELLE_QUOTE_BASE.
    std::string EffectiveBase(const QuoteSourceDefinition& source) const;

    std::shared_ptr<const std::vector<QuoteSourceDefinition>> m_sources;
    std::vector<SourceChoice> m_choices;
    std::map<std::string, std::string> m_storedBases;  // QuoteHosts/<id> as read
    std::map<std::string, std::string> m_bases;        // as edited
    // The definition documents as written (the user's file, the built-ins),
    // for the order of the keys the definition is shown with.
    std::vector<std::string> m_definitionDocuments;
    bool m_testing = false;

    QLabel* m_catalogError = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QLabel* m_details = nullptr;
    QLineEdit* m_base = nullptr;
    QPlainTextEdit* m_definition = nullptr;
    QLineEdit* m_symbol = nullptr;
    QComboBox* m_country = nullptr;
    QPushButton* m_test = nullptr;
    QLabel* m_testStatus = nullptr;
    QTreeWidget* m_fields = nullptr;
    QPlainTextEdit* m_raw = nullptr;
    QLabel* m_saveError = nullptr;
};
