#include "selftest/report.h"

std::string ReportBytes(int failures, unsigned faceWidth) {
    const std::string text = "failures=" + std::to_string(failures) + "\r\n" +
                             "face_native=" + std::to_string(faceWidth) + "\r\n" + "max_render=1200\r\n";
    // Every character is ASCII: each becomes its byte and a zero byte.
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char c : text) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}
