#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "quote/QuoteRecord.h"
#include "quote/SecurityRecord.h"
#include "window/DayFile.h"
#include "window/DayFileIndex.h"

// One quote window's day file: which file it resumes the day from and
// writes its history into when it closes, and which rows it resumed.
// Widget-free.
//
// The day file of a symbol ("MM_DD_YYYY_symbol.txt") belongs to the first
// security that wrote it (as the index says; a file the index does not
// know belongs to whoever uses it). Another security of the same symbol
// neither resumes nor overwrites it: its rows go beside it, to
// "MM_DD_YYYY_symbol@country.txt".
class DayFileSession {
public:
    explicit DayFileSession(std::string indexPath = DefaultDayFileIndexPath());

    struct Resumed {
        std::string path;  // of the file read
        DayFile file;      // its rows dated today (and those without a time)
    };

    // Reads the rows of `now`'s day from the security's day file; rows of
    // other dates stay in the file. False when there is none to read.
    // `note` receives the status text when the day file of the symbol
    // belongs to another security (empty otherwise).
    bool Resume(const SecurityRecord& security, std::time_t now, Resumed& resumed, std::string& note);

    // Writes the union of the day file of `now` (the date of closing) and
    // the history, as WriteDayFileUnion does. The rows this session
    // resumed from that same file never outrank the file's current rows.
    // `note` receives the status text when the rows went beside another
    // security's file.
    bool WriteOnClose(const SecurityRecord& security, const std::vector<QuoteRecord>& history, std::time_t now,
                      std::string& note);

private:
    struct Choice {
        std::string name;   // the file name to use
        bool plain = true;  // the usual name, whose owner the index keeps
        std::string note;
    };
    // The day file of the security's symbol (of `now`'s date) in the
    // folder, or the one beside it when the index gives that to another.
    Choice Choose(const SecurityRecord& security, const std::string& folder, std::time_t now, bool closing) const;
    // The same once the file `name` is known to exist.
    Choice ChooseBeside(const SecurityRecord& security, const std::string& folder, const std::string& name,
                        std::time_t now, bool closing) const;
    // The text of the file Resume reads, its path and the owner's note;
    // false when there is none to read.
    bool ReadChosenFile(const SecurityRecord& security, const DayTime& today, std::time_t now, std::string& path,
                        std::string& text, std::string& note) const;
    std::vector<std::string> ResumedRows(const std::string& path) const;

    std::string m_indexPath;
    // What Resume read: the file's path, its text and the day it kept.
    std::string m_resumedPath;
    std::string m_resumedText;
    DayTime m_resumedDay;
};

// The name of a security's day file beside another security's file of the
// same symbol: "MM_DD_YYYY_symbol@country.txt", lower case.
std::string CountryDayFileName(const std::string& symbol, const std::string& country, std::time_t now);
