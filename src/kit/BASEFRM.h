#pragma once

#include <QWidget>

namespace gaisan {

/// The wait window, shown while a screen change takes a moment.
class BASEFRM : public QWidget {
    Q_OBJECT

public:
    BASEFRM();

    /// Shows the window and lets it paint at once.
    void Form_Load();
};

}  // namespace gaisan
