// Builds fuzz inputs around real protocol messages.
#pragma once

#include <cstdint>
#include <string>

namespace stb::fuzz {

// Keywords the target sends; a fuzz byte picks one now and then so that the
// fuzzer reaches the handlers and not only the framing.
inline const char* const kKeywords[] = {
    "FLASH_WRITE_ERROR:x", "REQUEST_MODE", "REQUEST_V107", "BL_FLASH_INFO", "FLASH_INFO", "BL_FLASH_END", "ACK",
    "REQUEST_VERSION:0A,0B,0C,STB100,01,00,04,0A,0B,0C", "REQUEST_BLOCK", "REQUEST_START_BLOCK",
    "REQDATA_START_BLOCK", "REQDATA_BLOCK", "ack", "REQUEST_DOWNLOAD", "REQUEST_1024DOWN", "1024DOWN_ERR:0001",
    "1024DOWN_SUCCESS", "REQUEST_TOTALCRC", "DOWN_SUCCESS", "RAMCRC_SUCCESS", "FLASHCRC_SUCCESS",
    "BAD CRC : Flash image !!", "FLASH_WRITE", "4096FLASH_WRITE", "UPGRADE_SUCCESS", "RESPONSE_DOWNLOAD_FAIL",
    "NO_ACKNOWLEDGE with PC."};

}  // namespace stb::fuzz
