#pragma once

#include "support/Files.h"

#include <google/protobuf/text_format.h>
#include <gtest/gtest.h>

/// A message written in protobuf's text format under tests/data/, so that a test's records read as
/// what they hold rather than as a page of setters.
template<typename Message> Message protoData(const QString &name)
{
    Message message;
    EXPECT_TRUE(google::protobuf::TextFormat::ParseFromString(
        readFile(testDataPath(name)).toStdString(), &message))
        << name.toStdString();
    return message;
}
