#include "app/message_boxes.h"

#include "core/code_page.h"

namespace kst {

std::string LossyFileText() {
    return "\r\nこのファイルには " + CodePageName(TextCodePage()) +
           " で表せない文字が含まれているため、読み取り専用で開きました。";
}

std::string MessageCaption(TMessageType Type) {
    switch (Type) {
    case TMessageType::Warning:
        return "警告";
    case TMessageType::Error:
        return "エラー";
    case TMessageType::Information:
        return "情報";
    case TMessageType::Confirmation:
        break;
    }
    return "確認";
}

TMessageAnswer ShowMessageBox(Desktop& Desk, std::string_view Text, TMessageType Type,
                              TMessageButtons Buttons) {
    return Desk.MessageBox(std::string(Text), MessageCaption(Type), Type, Buttons);
}

void ShowWarning(Desktop& Desk, std::string_view Text) {
    ShowMessageBox(Desk, Text, TMessageType::Warning, TMessageButtons::Ok);
}

void ShowErrorWithMessage(Desktop& Desk, std::string_view Heading, std::string_view Message) {
    ShowMessageBox(Desk, std::string(Heading) + "\r\n" + std::string(Message), TMessageType::Error,
                   TMessageButtons::Ok);
}

} // namespace kst
