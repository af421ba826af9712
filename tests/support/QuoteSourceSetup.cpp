#include "support/QuoteSourceSetup.h"

#include <QString>

#include "base/Globals.h"
#include "base/Settings.h"
#include "quote/DefaultSourceOrder.h"

namespace testing_support {

void UseSpecifiedSourceAlone(int quoteSource)
{
    QuoteSource = quoteSource;
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kEnabledQuoteSources),
                             QString::fromStdString(SpecifiedQuoteSourceId(quoteSource)));
}

void UseDefaultSourceOrder()
{
    CUserSettings().remove(QString::fromLatin1(SettingsKey::kEnabledQuoteSources));
}

}  // namespace testing_support
