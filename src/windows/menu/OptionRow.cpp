#include "windows/menu/OptionRow.h"

#include <string>

#include "kit/DesignCanvas.h"
#include "kit/QtConversions.h"

namespace gaisan {

OptionRow::OptionRow(DesignCanvas& canvas, QWidget* parent, const QString& name, const QRect& at,
                     const QString& optionName, int firstIndex, const QStringList& captions)
    : QWidget(parent), m_firstIndex(firstIndex) {
    setObjectName(name);
    canvas.place(this, at);
    for (int i = 0; i < captions.size(); ++i) {
        const int index = firstIndex + i;
        auto* button = new QRadioButton(captions[i], this);
        button->setObjectName(arrayName(optionName, index));
        canvas.place(button, {i * 110, 0, 108, 40}, 16);
        connect(button, &QRadioButton::clicked, this, [this, index] { emit clicked(index); });
        m_options.push_back(button);
    }
}

int OptionRow::checked(int fallback) const {
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        if (m_options[i]->isChecked()) return m_firstIndex + static_cast<int>(i);
    }
    return fallback;
}

void OptionRow::setCaptions(const std::array<std::string_view, 3>& captions) {
    for (std::size_t i = 0; i < m_options.size() && i < captions.size(); ++i) {
        m_options[i]->setText(toQString(std::string(captions[i])));
    }
}

}  // namespace gaisan
