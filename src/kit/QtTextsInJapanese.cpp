#include "kit/QtTextsInJapanese.h"

#include <cstring>
#include <string_view>

namespace gaisan {
namespace {

struct Translation {
    const char* context;
    const char* source;
    const char* japanese;
    /// Whether `source` is the whole of Qt's text or only its last sentence, which the long
    /// tooltip of the pages box is known by: no other text of the dialog ends with it.
    bool wholeText = true;
};

bool matches(const Translation& translation, std::string_view sourceText) {
    return translation.wholeText ? sourceText == translation.source
                                 : sourceText.ends_with(translation.source);
}

// The contexts and source texts are Qt's own, exactly as its print dialog asks for them.
constexpr Translation kTranslations[] = {
    {"QPrintSettingsOutput", "Pages", "ページ指定"},
    {"QPrintSettingsOutput", " E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "ページや範囲をカンマで区切って指定します。範囲は二つの数をハイフンでつなぎます。"
     "例: 3,5-7,9 で 3、5、6、7、9 ページを印刷します。",
     false},
    {"QPrintSettingsOutput", "Double Sided Printing", "両面印刷"},
    {"QPrintSettingsOutput", "Off", "しない"},
    {"QPrintSettingsOutput", "Long side binding", "長辺とじ"},
    {"QPrintSettingsOutput", "Short side binding", "短辺とじ"},
    {"QPrintPropertiesWidget", "Advanced", "詳細設定"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
     "いくつかの設定が矛盾しています。直してください。"},
    {"QPrintPropertiesDialog", "Page Setup Conflicts", "ページ設定の矛盾"},
    {"QPrintPropertiesDialog",
     "There are conflicts in page setup options. Do you want to fix them?",
     "ページ設定が矛盾しています。直しますか?"},
    {"QPrintPropertiesDialog", "Advanced Option Conflicts", "詳細設定の矛盾"},
    {"QPrintPropertiesDialog",
     "There are conflicts in some advanced options. Do you want to fix them?",
     "詳細設定のいくつかが矛盾しています。直しますか?"},
    {"QPrintDialog", "Invalid Pages Definition", "ページ指定の誤り"},
    {"QPrintDialog",
     "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' "
     "to define ranges and make sure ranges do not intersect with each other.",
     "%1 は正しいページ指定ではありません。ページや範囲は「,」で区切り、範囲は「-」で表し、"
     "範囲どうしが重ならないようにしてください。"},
    {"QPrintDialog", "Duplex Settings Conflicts", "両面印刷の設定の矛盾"},
    {"QPrintDialog", "There are conflicts in duplex settings. Do you want to fix them?",
     "両面印刷の設定が矛盾しています。直しますか?"},
};

}  // namespace

QString QtTextsInJapanese::translate(const char* context, const char* sourceText,
                                     const char* /*disambiguation*/, int /*n*/) const {
    if (context == nullptr || sourceText == nullptr) return {};
    for (const Translation& translation : kTranslations) {
        if (std::strcmp(translation.context, context) == 0 && matches(translation, sourceText)) {
            return QString::fromUtf8(translation.japanese);
        }
    }
    // An empty answer lets Qt ask the next translator, its own.
    return {};
}

}  // namespace gaisan
