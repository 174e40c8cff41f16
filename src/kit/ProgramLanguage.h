#pragma once

namespace gaisan {

/// Makes Qt's own texts (the buttons of a question, the save and print dialogs, their error
/// messages) Japanese, whatever the machine's locale: the program speaks only Japanese, and
/// school machines often run in the C locale. The texts Qt's translation lacks come from the
/// program's own (QtTextsInJapanese). Returns false when Qt's Japanese translations are not
/// installed; the dialogs then stay mostly in English, which is no reason not to start.
bool applyProgramLanguage();

}  // namespace gaisan
