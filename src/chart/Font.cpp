#include "chart/Font.h"

#include "base/QtText.h"

#include <algorithm>
#include <mutex>

#include <QFontMetrics>
#include <QStringList>

namespace {
void RegisterFaceSubstitutes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                               QStringLiteral("DejaVu Sans")};
        QFont::insertSubstitutions(QStringLiteral("Arial Cyr"), sans);
        QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
    });
}

QFont::Weight QtWeight(int weight)
{
    // The 100..900 scale and Qt's weights coincide.
    return static_cast<QFont::Weight>(std::clamp(weight <= 0 ? 400 : weight, 1, 1000));
}
}  // namespace

bool Font::CreateFontIndirect(const LogFont& description)
{
    RegisterFaceSubstitutes();
    m_description = description;
    QFont font(QString::fromStdString(description.faceName));
    font.setWeight(QtWeight(description.weight));
    font.setStyleHint(QFont::SansSerif);
    const int cell = description.height == 0 ? 16 : std::abs(description.height);
    int pixels = std::max(1, cell);
    if (description.height > 0) {
        // Cell height requested: shrink the em size until ascent + descent fits.
        font.setPixelSize(pixels);
        while (pixels > 1 && QFontMetrics(font).height() > cell) {
            --pixels;
            font.setPixelSize(pixels);
        }
    }
    font.setPixelSize(pixels);
    m_font = font;
    m_metrics = std::make_shared<const QFontMetrics>(m_font);
    m_advances = std::make_shared<AdvanceCache>();
    m_created = true;
    return true;
}


int Font::Advance(const std::string& text) const
{
    if (!m_advances)
        return Metrics().horizontalAdvance(ToQString(text));
    if (const auto found = m_advances->find(text); found != m_advances->end())
        return found->second;
    // Bounded: a chart's texts change with every refresh (panel values).
    constexpr std::size_t kMaxRemembered = 4096;
    if (m_advances->size() >= kMaxRemembered)
        m_advances->clear();
    const int advance = m_metrics->horizontalAdvance(ToQString(text));
    m_advances->emplace(text, advance);
    return advance;
}
