#include "dialog/FileDialogFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {
using namespace std::string_literals;

TEST(FileDialogFilter, OffersPaymentFilesFirstThenAllFiles)
{
    EXPECT_EQ("Payment Files (*.xml)\0*.xml\0All Files (*.*)\0*.*\0\0"s, FileDialogFilter("xml"));
}

TEST(FileDialogFilter, WithoutAnExtensionOffersOnlyAllFiles)
{
    EXPECT_EQ("All Files (*.*)\0*.*\0\0"s, FileDialogFilter(""));
}

TEST(FileDialogFilter, EndsWithTwoNulsWhateverTheExtension)
{
    const std::string filter = FileDialogFilter(std::string(2000, 'x'));
    ASSERT_GE(filter.size(), 2u);
    EXPECT_EQ("\0\0"s, filter.substr(filter.size() - 2));
    EXPECT_EQ(4, std::count(filter.begin(), filter.end(), '\0') - 1) << "four strings";
}
} // namespace
