// The pictures of a session's sheets come from the view's resolver, when opening fresh and when
// resuming a result: a picture keeps the view's handle in both documents, a failure leaves
// nothing.
#include <gtest/gtest.h>

#include "session_test_util.h"

namespace quillo {
namespace {

using test::SessionFixture;
using test::Shown;

class CountingResolver : public PictureResolver {
 public:
  PictureOutcome Resolve(const PictureRequest& request) override {
    asked.push_back(request.argument);
    PictureOutcome outcome;
    if (request.kind == PictureKind::DrawnFraction) {
      outcome.kind = PictureOutcome::Kind::Picture;
      outcome.handle = 40 + static_cast<int>(asked.size());
    }
    return outcome;  // a figure fails
  }
  std::vector<std::string> asked;
};

TEST(PracticeSessionPictures, FreshAndResumedSheetsAskTheResolver) {
  SessionFixture f;
  CountingResolver resolver;
  f.session.SetPictureResolver(&resolver);
  f.Open({"Half #DwF_1\\2$ is {0,5} #DrawF_<<1>>$"}, CorrectionMode::A);
  EXPECT_EQ(resolver.asked, (std::vector<std::string>{"1\\2", "<<1>>"}));
  const PracticeEditor& editor = f.session.Editor();
  ASSERT_EQ(editor.Sheet().Pictures().size(), 1u);
  EXPECT_EQ(editor.Sheet().Pictures()[0].handle, 41);
  EXPECT_EQ(editor.Log().Pictures()[0].handle, 41);
  EXPECT_EQ(Shown(editor.Sheet()), "Half @ is <|  |> \n\n\n\n");

  const LeaveReport report = f.session.Leave();
  resolver.asked.clear();
  ASSERT_TRUE(f.session.Resume(report.resultPath));
  EXPECT_EQ(resolver.asked, (std::vector<std::string>{"1\\2", "<<1>>"}));
  EXPECT_EQ(f.session.Editor().Sheet().Pictures()[0].handle, 41);
}

}  // namespace
}  // namespace quillo
