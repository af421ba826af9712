#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include <QFont>
#include <QFontMetrics>

// The logical description a font is created from. A positive height is the
// font's cell height (ascent plus descent) in logical units.
struct LogFont {
    int height = 0;
    int weight = 400;
    std::string faceName;
};

// A created font: the description and the Qt font that renders it. The
// chart asks for "Arial Cyr"; on this platform that face (and "Arial") is
// served by the metric-compatible Liberation Sans. The pixel size is the
// largest one whose cell height does not exceed the requested height.
class Font {
public:
    Font() = default;
    explicit Font(const LogFont& description) { CreateFontIndirect(description); }

    bool CreateFontIndirect(const LogFont& description);
    bool IsCreated() const { return m_created; }
    const LogFont& Description() const { return m_description; }
    const QFont& QtFont() const { return m_font; }
    // Pixel metrics of the font, worked out once when it is created and
    // shared by its copies (measuring text then costs no font look-up).
    QFontMetrics Metrics() const { return m_metrics ? *m_metrics : QFontMetrics(m_font); }
    // Advance width of a text in this font. A chart draws the same labels and
    // panel lines at every paint, so widths are remembered per font (shared
    // by its copies) instead of shaping each text again.
    int Advance(const std::string& text) const;

private:
    using AdvanceCache = std::unordered_map<std::string, int>;
    LogFont m_description;
    QFont m_font;
    std::shared_ptr<const QFontMetrics> m_metrics;
    std::shared_ptr<AdvanceCache> m_advances;
    bool m_created = false;
};
