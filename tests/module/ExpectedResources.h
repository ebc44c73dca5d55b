// The property list and terminology resource as the host must find them,
// laid out field by field at the offsets the format tables give; written
// apart from the generator so that the two can disagree.
#ifndef LUMACUT_TESTS_MODULE_EXPECTED_RESOURCES_H
#define LUMACUT_TESTS_MODULE_EXPECTED_RESOURCES_H

#include <cstdint>
#include <string>
#include <vector>

// The module's code property is keyed by its machine (a PE machine number):
// "wx86" for i386, "8664" for amd64; every other byte is the same.
std::vector<uint8_t> ExpectedPropertyList(uint16_t machine);
std::vector<uint8_t> ExpectedTerminology();
std::string ExpectedAboutText();

#endif
