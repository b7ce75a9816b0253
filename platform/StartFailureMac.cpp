#include "platform/StartFailure.h"

#include <CoreFoundation/CoreFoundation.h>

namespace vantrel::platform {
namespace {

CFStringRef ToCFString(std::string_view utf8)
{
    return CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(utf8.data()),
                                   static_cast<CFIndex>(utf8.size()), kCFStringEncodingUTF8, false);
}

}  // namespace

// An app started from the Finder or the Dock has no terminal: its stderr
// goes to the system log, where nobody looks.
bool HasStartFailureBox() { return true; }

void ShowStartFailureBox(std::string_view title, std::string_view text)
{
    CFStringRef header = ToCFString(title);
    CFStringRef message = ToCFString(text);
    CFOptionFlags response = 0;
    // The alert, unlike a notice, waits for the user: the program exits right after.
    CFUserNotificationDisplayAlert(0, kCFUserNotificationStopAlertLevel, nullptr, nullptr, nullptr, header, message,
                                   nullptr, nullptr, nullptr, &response);
    if (message != nullptr) {
        CFRelease(message);
    }
    if (header != nullptr) {
        CFRelease(header);
    }
}

}  // namespace vantrel::platform
