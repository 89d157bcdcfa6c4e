// zkhost's command line: what it accepts and the clear refusals of what it does not.
#include "HostBookkeeping.h"
#include "HostCodes.h"
#include "HostCommandLine.h"
#include "HostTypes.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

TEST(HostCommandLine, ReadsEveryOption) {
  zk::HostOptions options;
  std::string error;
  ASSERT_TRUE(zk::ParseHostCommandLine({L"--plugins", L"C:\\plug ins", L"--list", L"--about", L"Zentrast Kolvane...",
                                        L"--answer", L"escape", L"--doit", L"Zentrast Kolvane...", L"--answer",
                                        L"close", L"--answer", L"file=C:\\J\u00fcrgen\\a.CR2", L"--refuse-suite",
                                        L"Photoshop UIHooks Suite for Plug-ins",
                                        L"--refuse-suite", L"df135117-c769-11d0-8079-00c04fd7ec47@3", L"--fail",
                                        L"PSActionReference.PutEnumerated=Parm", L"--fail", L"PSHandle.New",
                                        L"--fail-event", L"Impr", L"--fail-event", L"Opn =-43", L"--write-documents",
                                        L"C:\\out", L"--edit-raw-documents"},
                                       &options, &error))
      << error;
  EXPECT_EQ(L"C:\\plug ins", options.pluginsFolder);
  EXPECT_TRUE(options.list);
  ASSERT_EQ(2u, options.commands.size());
  EXPECT_EQ(zk::HostCommand::About, options.commands[0].kind);
  EXPECT_EQ(zk::HostCommand::DoIt, options.commands[1].kind);
  EXPECT_EQ("Zentrast Kolvane...", options.commands[1].pluginName);
  EXPECT_EQ((std::vector<std::string>{"escape", "close", "file=C:\\J\xC3\xBCrgen\\a.CR2"}), options.answers);
  ASSERT_EQ(2u, options.refusedSuites.size());
  EXPECT_EQ(zk::kAnyVersion, options.refusedSuites[0].version);
  EXPECT_EQ("df135117-c769-11d0-8079-00c04fd7ec47", options.refusedSuites[1].name);
  EXPECT_EQ(3, options.refusedSuites[1].version);
  ASSERT_EQ(2u, options.failures.size());
  EXPECT_EQ(int32_t(0x5061726D), options.failures[0].status);
  EXPECT_EQ(zk::kDefaultInjectedStatus, options.failures[1].status);
  ASSERT_EQ(2u, options.eventFailures.size());
  EXPECT_EQ(FourCC("Impr"), options.eventFailures[0].event);
  EXPECT_EQ(zk::kDefaultInjectedStatus, options.eventFailures[0].status);
  EXPECT_EQ(FourCC("Opn "), options.eventFailures[1].event);
  EXPECT_EQ(-43, options.eventFailures[1].status);
  EXPECT_EQ(L"C:\\out", options.writeDocumentsFolder);
  EXPECT_TRUE(options.editRawDocuments);
}

// The answers where hosts differ: the real host's by default, each other one by its option.
TEST(HostCommandLine, ReadsHowTheHostAnswers) {
  zk::HostOptions options;
  std::string error;
  ASSERT_TRUE(zk::ParseHostCommandLine({L"--plugins", L"x"}, &options, &error)) << error;
  EXPECT_EQ(zk::NarrowTexts::Ansi, options.hostAnswers.narrowTexts);
  EXPECT_TRUE(options.aliasSuite);
  EXPECT_EQ(typeAlias, options.hostAnswers.fileReferenceType);
  EXPECT_FALSE(options.hostAnswers.refuseIntegerOfUnitValue || options.hostAnswers.heavyDocuments ||
               options.hostAnswers.cancelEveryRawOpen || options.hostAnswers.rawConverterDialog ||
               options.hostAnswers.rawOpenAgain || options.hostAnswers.rawOwnDepth ||
               options.hostAnswers.rawFileNamesAsAsked);

  ASSERT_TRUE(zk::ParseHostCommandLine({L"--plugins", L"x", L"--narrow-texts", L"utf8", L"--no-alias-suite",
                                        L"--file-references", L"path", L"--unit-integers", L"refuse",
                                        L"--heavy-documents", L"--cancel-raw-open", L"--raw-converter-dialog",
                                        L"--raw-open-again", L"--raw-own-depth", L"--raw-file-names", L"asked"},
                                       &options, &error))
      << error;
  EXPECT_EQ(zk::NarrowTexts::Utf8, options.hostAnswers.narrowTexts);
  EXPECT_FALSE(options.aliasSuite);
  EXPECT_EQ(typePath, options.hostAnswers.fileReferenceType);
  EXPECT_TRUE(options.hostAnswers.refuseIntegerOfUnitValue && options.hostAnswers.heavyDocuments &&
              options.hostAnswers.cancelEveryRawOpen && options.hostAnswers.rawConverterDialog &&
              options.hostAnswers.rawOpenAgain && options.hostAnswers.rawOwnDepth &&
              options.hostAnswers.rawFileNamesAsAsked);
}

struct Refused {
  std::vector<std::wstring> arguments;
  const char* messagePart;
};

void PrintTo(const Refused& c, std::ostream* out) { *out << c.messagePart; }

class HostCommandLineRefusal : public testing::TestWithParam<Refused> {};

TEST_P(HostCommandLineRefusal, SaysWhatIsWrong) {
  zk::HostOptions options;
  std::string error;
  EXPECT_FALSE(zk::ParseHostCommandLine(GetParam().arguments, &options, &error));
  EXPECT_NE(std::string::npos, error.find(GetParam().messagePart)) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostCommandLineRefusal,
    testing::Values(
        Refused{{}, "--plugins DIR is required"}, Refused{{L"--plugins"}, "--plugins needs a value"},
        Refused{{L"--plugins", L"x", L"--answer", L"maybe"}, "unknown answer \"maybe\""},
        Refused{{L"--plugins", L"x", L"--frobnicate"}, "unknown option \"--frobnicate\""},
        Refused{{L"--plugins", L"x", L"--refuse-suite", L"Name@three"}, "bad suite version"},
        Refused{{L"--plugins", L"x", L"--fail", L"Make=12345678901"}, "bad status"},
        Refused{{L"--plugins", L"x", L"--fail", L"Make"}, "--fail needs SUITE.PROCEDURE"},
        Refused{{L"--plugins", L"x", L"--fail-event", L"Imp"}, "--fail-event needs a four-character"},
        Refused{{L"--plugins", L"x", L"--fail-event", L"Import"}, "--fail-event needs a four-character"},
        Refused{{L"--plugins", L"x", L"--fail-event", L"Impr=often"}, "--fail-event needs a four-character"},
        Refused{{L"--plugins", L"x", L"--write-documents"}, "--write-documents needs a value"},
        Refused{{L"--plugins", L"x", L"--narrow-texts", L"latin1"},
                "--narrow-texts takes ansi or utf8, not \"latin1\""},
        Refused{{L"--plugins", L"x", L"--file-references", L"Pth "}, "--file-references takes alias or path"},
        Refused{{L"--plugins", L"x", L"--unit-integers"}, "--unit-integers needs a value"}));

}  // namespace
