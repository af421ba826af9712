#include "app/QuoteSourcesDialog.h"

#include <ctime>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/QuoteSourceText.h"
#include "base/CText.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "quote/EventfulWait.h"
#include "quote/QuoteSourceCatalog.h"
#include "quote/QuoteService.h"

namespace {

QString HostKey(const std::string& id)
{
    return QString::fromLatin1(SettingsKey::kQuoteHostsGroup) + QLatin1Char('/') + QString::fromStdString(id);
}

std::string SettingText(const QString& key)
{
    return TrimWhitespace(CUserSettings().value(key).toString().toStdString());
}

QPlainTextEdit* ReadOnlyText(QWidget* parent, const char* name)
{
    auto* text = new QPlainTextEdit(parent);
    text->setObjectName(QString::fromLatin1(name));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return text;
}

std::string DescribeDefinition(const QuoteSourceDefinition& source)
{
    std::string headers;
    for (const auto& [name, value] : source.headers)
        headers += (headers.empty() ? "" : "\n    ") + name + ": " + value;
    std::string text = "Id: " + source.id + "\nName: " + source.displayName + "\nURL: " + source.urlTemplate +
                       "\nFormat: " + QuoteSourceFormatName(source.format);
    text += "\nDefault base: " + (source.defaultBase.empty() ? std::string("(none)") : source.defaultBase);
    text += "\nHeaders: " + (headers.empty() ? std::string("(none)") : headers);
    text += FormatC("\nMinimum interval: %d s", source.minIntervalSeconds);
    return text;
}

}  // namespace

CQuoteSourcesDialog::CQuoteSourcesDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Quote Sources"));
    CQuoteService& service = CQuoteService::Instance();
    m_sources = service.Sources();
    m_choices = MakeSourceChoices(*m_sources, service.EnabledSources());
    for (const QuoteSourceDefinition& source : *m_sources) {
        m_storedBases[source.id] = SettingText(HostKey(source.id));
        m_bases[source.id] = m_storedBases[source.id];
    }
    // The user's file counts only when the catalog took it.
    if (service.CatalogError().empty()) {
        QFile user(QString::fromStdString(UserQuoteSourcesPath()));
        if (user.open(QIODevice::ReadOnly))
            m_definitionDocuments.push_back(user.readAll().toStdString());
    }
    m_definitionDocuments.push_back(BuiltinQuoteSourcesJson());

    auto* layout = new QVBoxLayout(this);
    m_catalogError = new QLabel(ToQString(service.CatalogError()), this);
    m_catalogError->setObjectName(QStringLiteral("catalogError"));
    m_catalogError->setWordWrap(true);
    m_catalogError->setTextFormat(Qt::PlainText);
    m_catalogError->setStyleSheet(QStringLiteral("color: #b00000"));
    m_catalogError->setVisible(!m_catalogError->text().isEmpty());
    layout->addWidget(m_catalogError);

    auto* top = new QHBoxLayout;
    layout->addLayout(top, 1);

    // The sources: checked ones are tried, top first.
    auto* listBox = new QGroupBox(QStringLiteral("Sources (checked ones are tried, top first)"), this);
    auto* listLayout = new QGridLayout(listBox);
    m_list = new QListWidget(listBox);
    m_list->setObjectName(QStringLiteral("sourceList"));
    m_list->setMinimumWidth(260);
    listLayout->addWidget(m_list, 0, 0, 3, 1);
    m_up = new QPushButton(QStringLiteral("&Up"), listBox);
    m_up->setObjectName(QStringLiteral("upButton"));
    m_down = new QPushButton(QStringLiteral("&Down"), listBox);
    m_down->setObjectName(QStringLiteral("downButton"));
    listLayout->addWidget(m_up, 0, 1);
    listLayout->addWidget(m_down, 1, 1);
    listLayout->setRowStretch(2, 1);
    top->addWidget(listBox, 1);

    // The selected source.
    auto* detailBox = new QGroupBox(QStringLiteral("Selected source"), this);
    auto* detailLayout = new QVBoxLayout(detailBox);
    m_details = new QLabel(detailBox);
    m_details->setObjectName(QStringLiteral("sourceDetails"));
    m_details->setTextFormat(Qt::PlainText);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_details->setWordWrap(true);
    detailLayout->addWidget(m_details);
    auto* baseForm = new QFormLayout;
    m_base = new QLineEdit(detailBox);
    m_base->setObjectName(QStringLiteral("baseEdit"));
    m_base->setToolTip(QStringLiteral("host:port or scheme://host:port in place of the default base; "
                                      "empty keeps the default"));
    baseForm->addRow(QStringLiteral("&Base override:"), m_base);
    detailLayout->addLayout(baseForm);
    m_definition = ReadOnlyText(detailBox, "definitionText");
    detailLayout->addWidget(m_definition, 1);
    top->addWidget(detailBox, 2);

    // Test the selected source.
    auto* testBox = new QGroupBox(QStringLiteral("Test the selected source"), this);
    auto* testLayout = new QGridLayout(testBox);
    auto* testRow = new QHBoxLayout;
    m_symbol = new QLineEdit(testBox);
    m_symbol->setObjectName(QStringLiteral("testSymbol"));
    m_symbol->setPlaceholderText(QStringLiteral("Symbol"));
    m_country = new QComboBox(testBox);
    m_country->setObjectName(QStringLiteral("testCountry"));
    m_country->setEditable(true);
    m_country->addItems({QStringLiteral("US"), QStringLiteral("CA"), QStringLiteral("GB")});
    m_test = new QPushButton(QStringLiteral("&Test"), testBox);
    m_test->setObjectName(QStringLiteral("testButton"));
    auto* symbolLabel = new QLabel(QStringLiteral("S&ymbol:"), testBox);
    symbolLabel->setBuddy(m_symbol);
    auto* countryLabel = new QLabel(QStringLiteral("C&ountry:"), testBox);
    countryLabel->setBuddy(m_country);
    testRow->addWidget(symbolLabel);
    testRow->addWidget(m_symbol, 1);
    testRow->addWidget(countryLabel);
    testRow->addWidget(m_country);
    testRow->addWidget(m_test);
    testLayout->addLayout(testRow, 0, 0, 1, 2);
    m_testStatus = new QLabel(testBox);
    m_testStatus->setObjectName(QStringLiteral("testStatus"));
    m_testStatus->setTextFormat(Qt::PlainText);
    m_testStatus->setWordWrap(true);
    m_testStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    testLayout->addWidget(m_testStatus, 1, 0, 1, 2);
    m_fields = new QTreeWidget(testBox);
    m_fields->setObjectName(QStringLiteral("testFields"));
    m_fields->setRootIsDecorated(false);
    m_fields->setHeaderLabels({QStringLiteral("Field"), QStringLiteral("Value")});
    m_fields->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    testLayout->addWidget(m_fields, 2, 0);
    m_raw = ReadOnlyText(testBox, "testRaw");
    // Data answers often come on one long line.
    m_raw->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    testLayout->addWidget(m_raw, 2, 1);
    testLayout->setColumnStretch(1, 1);
    layout->addWidget(testBox, 1);

    m_saveError = new QLabel(this);
    m_saveError->setObjectName(QStringLiteral("saveError"));
    m_saveError->setTextFormat(Qt::PlainText);
    m_saveError->setWordWrap(true);
    m_saveError->setStyleSheet(QStringLiteral("color: #b00000"));
    m_saveError->hide();
    layout->addWidget(m_saveError);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
    connect(m_list, &QListWidget::itemChanged, this, &CQuoteSourcesDialog::OnItemChanged);
    connect(m_up, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { MoveSelected(1); });
    connect(m_base, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const QuoteSourceDefinition* source = Selected())
            m_bases[source->id] = TrimWhitespace(FromQString(text));
    });
    connect(m_test, &QPushButton::clicked, this, &CQuoteSourcesDialog::TestSelected);
    connect(m_symbol, &QLineEdit::returnPressed, this, &CQuoteSourcesDialog::TestSelected);
    connect(buttons, &QDialogButtonBox::accepted, this, &CQuoteSourcesDialog::OnSave);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    FillList(0);
    resize(900, 680);
}

void CQuoteSourcesDialog::FillList(int selectRow)
{
    const QSignalBlocker block(m_list);
    m_list->clear();
    for (const SourceChoice& choice : m_choices) {
        auto* item = new QListWidgetItem(ToQString(choice.name + "  [" + choice.id + "]"), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(choice.enabled ? Qt::Checked : Qt::Unchecked);
    }
    m_list->setCurrentRow(selectRow);
    ShowSelected();
}

const QuoteSourceDefinition* CQuoteSourcesDialog::Selected() const
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= static_cast<int>(m_choices.size()))
        return nullptr;
    return FindQuoteSource(*m_sources, m_choices[static_cast<std::size_t>(row)].id);
}

void CQuoteSourcesDialog::ShowSelected()
{
    const int row = m_list->currentRow();
    const int count = static_cast<int>(m_choices.size());
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row + 1 < count);
    const QuoteSourceDefinition* source = Selected();
    m_base->setEnabled(source != nullptr);
    m_test->setEnabled(source != nullptr && !m_testing);
    if (!source) {
        m_details->setText(row >= 0 && row < count
                               ? ToQString("No definition has the id " + m_choices[static_cast<std::size_t>(row)].id +
                                           "; it stays in the order until it is unchecked.")
                               : QString());
        m_base->clear();
        m_definition->clear();
        return;
    }
    m_details->setText(ToQString(DescribeDefinition(*source)));
    m_base->setText(ToQString(m_bases[source->id]));
    const std::string older = source->hostSetting.empty() ? std::string() : SettingText(ToQString(source->hostSetting));
    m_base->setPlaceholderText(ToQString(!older.empty() ? older + "  (from " + source->hostSetting + ")"
                                                        : source->defaultBase));
    m_definition->setPlainText(ToQString(QuoteSourceDisplayText(*source, m_definitionDocuments)));
}

void CQuoteSourcesDialog::MoveSelected(int delta)
{
    const int row = m_list->currentRow();
    FillList(MoveSourceChoice(m_choices, row, delta));
}

void CQuoteSourcesDialog::OnItemChanged(QListWidgetItem* item)
{
    const int row = m_list->row(item);
    if (row >= 0 && row < static_cast<int>(m_choices.size()))
        m_choices[static_cast<std::size_t>(row)].enabled = item->checkState() == Qt::Checked;
}

std::string CQuoteSourcesDialog::EffectiveBase(const QuoteSourceDefinition& source) const
{
    const auto edited = m_bases.find(source.id);
    if (edited != m_bases.end() && !edited->second.empty())
        return edited->second;
    const std::string older = source.hostSetting.empty() ? std::string() : SettingText(ToQString(source.hostSetting));
    return older.empty() ? EveryQuoteSourceBase() : older;
}

void CQuoteSourcesDialog::TestSelected()
{
    const QuoteSourceDefinition* selected = Selected();
    if (!selected || m_testing)
        return;
    const std::string symbol = TrimWhitespace(FromQString(m_symbol->text()));
    if (symbol.empty()) {
        m_testStatus->setText(QStringLiteral("Enter a symbol to test with."));
        return;
    }
    // Copies: the events handled during the transfer may change the selection.
    const QuoteSourceDefinition source = *selected;
    const std::string base = EffectiveBase(source);
    const std::string country = TrimWhitespace(FromQString(m_country->currentText()));

    m_testing = true;
    m_test->setEnabled(false);
    m_testStatus->setText(ToQString("Asking " + source.displayName + " ..."));
    m_fields->clear();
    m_raw->clear();
    SourceTrial trial;
    QPointer<CQuoteSourcesDialog> alive(this);
    RunWhileHandlingEvents([&](const std::atomic<bool>& cancel) {
        trial = TryQuoteSource(source, base, symbol, country, TransferLimits{}, std::time(nullptr), &cancel);
    });
    if (!alive)
        return;
    m_testing = false;
    ShowSelected();
    ShowTrial(trial);
}

void CQuoteSourcesDialog::ShowTrial(const SourceTrial& trial)
{
    std::string status = trial.quote ? "Quote found" : "No quote: " + trial.error;
    if (!trial.url.empty())
        status += FormatC("\n%lld ms", static_cast<long long>(trial.elapsed.count())) +
                  (trial.status ? FormatC(", status %ld", trial.status) : std::string()) +
                  FormatC(", %zu bytes from ", trial.bodyBytes) + trial.url;
    m_testStatus->setText(ToQString(status));
    m_fields->clear();
    for (const SourceTrialField& field : trial.fields) {
        auto* item = new QTreeWidgetItem(m_fields, {ToQString(field.name), ToQString(field.value)});
        if (!field.found)
            item->setForeground(1, palette().brush(QPalette::Disabled, QPalette::Text));
    }
    // The raw answer is bytes of any encoding; shown as Latin-1 it never
    // loses a byte to a decoding error.
    m_raw->setPlainText(QString::fromLatin1(trial.rawStart.data(), static_cast<qsizetype>(trial.rawStart.size())));
}

bool CQuoteSourcesDialog::Save()
{
    const std::vector<std::string> order = EnabledSourceOrder(m_choices);
    std::string problem;
    if (order.empty())
        problem = "Check at least one source: quotes need one to ask.";
    for (const QuoteSourceDefinition& source : *m_sources) {
        const std::string& base = m_bases[source.id];
        if (problem.empty() && !base.empty() && base != m_storedBases[source.id]) {
            const SourceUrl url = SourceRequestUrl(source, base, "SYMBOL", "US");
            if (!url.error.empty())
                problem = "The base override of " + source.id + " cannot be used: " + url.error;
        }
    }
    m_saveError->setText(ToQString(problem));
    m_saveError->setVisible(!problem.empty());
    if (!problem.empty())
        return false;

    WriteEnabledSources(order);
    CUserSettings settings;
    for (const auto& [id, base] : m_bases) {
        if (base == m_storedBases[id])
            continue;
        if (base.empty())
            settings.remove(HostKey(id));
        else
            settings.setValue(HostKey(id), ToQString(base));
        m_storedBases[id] = base;
    }
    return true;
}

void CQuoteSourcesDialog::OnSave()
{
    if (Save())
        accept();
}
