#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "quote/QuotePage.h"
#include "quote/QuoteSourceDefinition.h"

// Reading a quote source's answer by its definition. Pure functions of
// their arguments (the time zone of a pattern comes from the definition,
// never from the machine); errors come back as text.

struct QuoteExtraction {
    enum class Status {
        Quote,      // quote holds the answer's quote
        NoData,     // a well-formed answer without a last price (an unknown symbol)
        BadAnswer,  // not what the format expects: a web page, broken JSON, an empty body ...
    };
    Status status = Status::NoData;
    std::optional<ParsedQuotePage> quote;  // set exactly when status is Quote
    std::string error;                     // why there is no quote, in plain words

    bool ok() const { return quote.has_value(); }
};

// The quote in a source's answer (body: the response body, whatever its
// status) for a security of `country` (a code such as "US"; may be empty),
// read at `now`.
//
// - msn-page and cnn-page give exactly what ParseMsnQuotePage(body, now) and
//   ParseCnnQuotePage(body) give, with exchangeZone the country's zone; a
//   page without a price is NoData.
// - page cuts each field with ExtractField and its options; csv reads the
//   first line after the header (or the first line without a header), with
//   RFC 4180 quoting, CR LF or LF line ends and a UTF-8 byte order mark
//   allowed; json follows each path from the document's root.
// - A field takes the first of its rules that yields a value. Numbers are
//   read with C-locale rules after trimming; a text that does not start as a
//   number is no value. In csv the separator that is not the decimal one
//   (',' or '.') and blanks count as thousands separators and are dropped;
//   page rules drop ',' when they strip thousands. A csv cell equal to one of
//   the no-value tokens and a JSON null are no value. A JSON number given to a
//   text field is written without a fraction when whole ("52345678"), else
//   in the fewest digits that read back to it.
// - quoteTime follows the definition's time rule and is stored on the
//   clock of the exchange (QuoteTimeRule says which zone that is, and
//   exchangeZone names it); a time that cannot be read or that is out of
//   range (a wall-clock time the zone skips, too large a number) leaves 0.
// - currency: the field's rules, else (page and csv) the country's currency
//   from ExchangeZones.h, else empty.
// - Without a last price, or with a last price of 0, the answer is NoData;
//   with a JSON errorPath that yields a text, the error quotes it.
// - When no change is given, last is known and prevClose is not 0, change is
//   "%+.2f (%+.2f%%)" of last - prevClose and 100 * (last - prevClose) /
//   prevClose, in the C locale (page, csv and json only).
// - csv and json answers whose first non-blank byte is '<' are a web page:
//   BadAnswer with "the source answered with a web page instead of quote
//   data". An empty or blank csv or json answer is BadAnswer too, as is a csv
//   header without any of the columns the last price is read from.
// - json series: the times and prices arrays paired by index up to the
//   shorter one; a pair with a null (or anything but a number or, for a
//   pattern, a text) on either side is skipped; times follow the time rule,
//   on the same exchange clock as quoteTime.
// Never throws.
QuoteExtraction ExtractQuote(const QuoteSourceDefinition& source, const std::string& body, std::time_t now,
                             const std::string& country);
