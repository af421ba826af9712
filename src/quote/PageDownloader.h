#pragma once

// The page downloader: an object without data whose operations fetch quote
// pages and cut items out of them. The main frame owns one for the life of
// the process.
class CPageDownloader {};
