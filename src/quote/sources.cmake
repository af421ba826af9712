# Sources of the quorelle_quote library.
set(QUORELLE_QUOTE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CnnQuotePage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EventfulWait.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExchangeZones.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExtractField.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Money.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExchangeRateFetch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HttpTransfer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MsnQuotePage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageDownloader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteService.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteTime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UrlEscape.cpp
)

# Quote sources as data: definitions, URLs and the answer formats.
list(APPEND QUORELLE_QUOTE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/QuoteSourceDefinition.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteSourceCatalog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteSourceBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteSourceUrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JsonPath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteSourceFormats.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteSourceRequest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteSourceRouter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteSourceTrial.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefaultSourceOrder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GoneSourceWatch.cpp
)

# The built-in definitions are compiled in as one text, so every program
# and static library that links the core has them without a resource to
# register. Editing the JSON file re-runs the configuration.
set(quorelle_builtin_sources_json ${CMAKE_CURRENT_LIST_DIR}/../res/sources/quote-sources.json)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${quorelle_builtin_sources_json})
file(READ ${quorelle_builtin_sources_json} QUORELLE_BUILTIN_SOURCES_TEXT)
string(FIND "${QUORELLE_BUILTIN_SOURCES_TEXT}" ")quorelle_sources\"" quorelle_delimiter_at)
if(NOT quorelle_delimiter_at EQUAL -1)
  message(FATAL_ERROR "quote-sources.json must not contain )quorelle_sources\"")
endif()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/quote/BuiltinQuoteSources.cpp @ONLY CONTENT [=[
// Generated from src/res/sources/quote-sources.json by src/quote/sources.cmake.
#include "quote/QuoteSourceCatalog.h"

const std::string& BuiltinQuoteSourcesJson()
{
    static const std::string text = R"quorelle_sources(@QUORELLE_BUILTIN_SOURCES_TEXT@)quorelle_sources";
    return text;
}
]=])
list(APPEND QUORELLE_QUOTE_SOURCES ${CMAKE_BINARY_DIR}/generated/quote/BuiltinQuoteSources.cpp)
