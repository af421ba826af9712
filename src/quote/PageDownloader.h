#pragma once

// Downloads quote pages and cuts items out of them.
class CPageDownloader {};
