// What a page may do: where it navigates, how many dialogs it opens, when
// its renderer counts as hung.
#include <gtest/gtest.h>

#include "browsing/PageLeash.h"

namespace kpw {
namespace {

using Ms = std::chrono::milliseconds;
using Cause = NavigationCause;

TEST(MayNavigate, ThePageOnViewGoesAnywhereOnTheWebAndNowhereElse) {
    for (Cause cause : {Cause::Typed, Cause::Link, Cause::Form, Cause::Redirect, Cause::Other}) {
        EXPECT_TRUE(MayNavigate(false, OwnLoad::None, cause, "https"));
        EXPECT_TRUE(MayNavigate(false, OwnLoad::None, cause, "http"));
        for (const char* scheme :
             {"file", "data", "blob", "javascript", "about", "ftp", "mailto", ""})
            EXPECT_FALSE(MayNavigate(false, OwnLoad::Asked, cause, scheme)) << scheme;
    }
}

TEST(MayNavigate, AnUnseenPageFollowsOnlyTheProgramsOwnLoadsAndTheirRedirects) {
    EXPECT_TRUE(MayNavigate(true, OwnLoad::Asked, Cause::Typed, "http"));
    EXPECT_TRUE(MayNavigate(true, OwnLoad::Asked, Cause::Reload, "https"));
    EXPECT_TRUE(MayNavigate(true, OwnLoad::Asked, Cause::BackForward, "https"));
    EXPECT_TRUE(MayNavigate(true, OwnLoad::InFlight, Cause::Redirect, "https"));
    // A refresh the page asks for once its load has ended comes as a redirect.
    EXPECT_FALSE(MayNavigate(true, OwnLoad::None, Cause::Redirect, "https"));
    // Links or forms it follows by itself, with or without a load of ours.
    for (OwnLoad own : {OwnLoad::None, OwnLoad::Asked, OwnLoad::InFlight})
        for (Cause cause : {Cause::Link, Cause::Form, Cause::Other})
            EXPECT_FALSE(MayNavigate(true, own, cause, "http"));
    // Typed without a load asked for has not come from the program.
    EXPECT_FALSE(MayNavigate(true, OwnLoad::None, Cause::Typed, "http"));
    EXPECT_FALSE(MayNavigate(true, OwnLoad::InFlight, Cause::Typed, "http"));
    EXPECT_FALSE(MayNavigate(true, OwnLoad::Asked, Cause::Typed, "file"));
    EXPECT_FALSE(MayNavigate(true, OwnLoad::InFlight, Cause::Redirect, "data"));
}

TEST(DialogGate, ARunOfDialogsEndsAfterThreeAndStaysEndedForThePage) {
    DialogGate gate;
    Ms now{1000};
    for (int i = 0; i < DialogGate::MaxInRun; ++i) {
        EXPECT_EQ(gate.Ask(now), DialogGate::Answer::Show) << i;
        now += Ms{8000};  // the user reads for a while
        gate.Closed(now);
        now += Ms{10};  // and the page asks again at once
    }
    EXPECT_EQ(gate.Ask(now), DialogGate::Answer::RefuseFirst);
    EXPECT_EQ(gate.Ask(now + Ms{60000}), DialogGate::Answer::Refuse);
    // The next page may ask again.
    gate.PageStarted();
    EXPECT_EQ(gate.Ask(now + Ms{60000}), DialogGate::Answer::Show);
}

TEST(DialogGate, DialogsFarApartAreAllShown) {
    DialogGate gate;
    Ms now{0};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(gate.Ask(now), DialogGate::Answer::Show) << i;
        gate.Closed(now + Ms{500});
        now += DialogGate::RunGap + Ms{600};
    }
}

class RendererWatchTest : public ::testing::Test {
protected:
    RendererWatch watch;
};

TEST_F(RendererWatchTest, ALoadWithoutSignOfLifeIsProbedPatientlyAndEndedWhenItStaysSilent) {
    watch.LoadStarted(Ms{0});
    EXPECT_EQ(watch.NextCheck(), RendererWatch::QuietLimit);
    EXPECT_EQ(watch.Check(Ms{9999}), RendererWatch::Action::None);
    EXPECT_EQ(watch.Check(Ms{10000}), RendererWatch::Action::SendProbe);
    EXPECT_EQ(watch.NextCheck(), Ms{10000} + RendererWatch::PatientProbeLimit);
    EXPECT_EQ(watch.Check(Ms{10000} + RendererWatch::PatientProbeLimit - Ms{1}),
              RendererWatch::Action::None);
    EXPECT_EQ(watch.Check(Ms{10000} + RendererWatch::PatientProbeLimit),
              RendererWatch::Action::EndRenderer);
    // Ended once: nothing more is watched until the next load.
    EXPECT_EQ(watch.NextCheck(), std::nullopt);
    EXPECT_EQ(watch.Check(Ms{60000}), RendererWatch::Action::None);
}

TEST_F(RendererWatchTest, ASlowSiteThatSendsDataOrARendererThatAnswersIsLeftAlone) {
    watch.LoadStarted(Ms{0});
    for (int t = 5000; t <= 60000; t += 5000) {
        watch.SignOfLife(Ms{t});
        EXPECT_EQ(watch.Check(Ms{t}), RendererWatch::Action::None) << t;
    }
    EXPECT_EQ(watch.Check(Ms{70000}), RendererWatch::Action::SendProbe);
    watch.ProbeAnswered(watch.ProbeId(), Ms{70100});
    // The quiet time starts again from the answer.
    EXPECT_EQ(watch.Check(Ms{79000}), RendererWatch::Action::None);
    EXPECT_EQ(watch.Check(Ms{80100}), RendererWatch::Action::SendProbe);
    watch.LoadEnded();
    watch.ProbeAnswered(watch.ProbeId(), Ms{80200});
    EXPECT_EQ(watch.NextCheck(), std::nullopt);
}

TEST_F(RendererWatchTest, ASuspicionProbesAtOnceAndAnOldProbesAnswerDoesNotCount) {
    EXPECT_EQ(watch.Check(Ms{0}), RendererWatch::Action::None);
    watch.Suspect();
    EXPECT_EQ(watch.NextCheck(), Ms{0});
    EXPECT_EQ(watch.Check(Ms{500}), RendererWatch::Action::SendProbe);
    const std::uint64_t first = watch.ProbeId();
    EXPECT_EQ(watch.Check(Ms{500} + RendererWatch::ProbeLimit), RendererWatch::Action::EndRenderer);
    // The first probe's answer arrives from the old renderer after a new
    // suspicion: the new probe still waits for its own.
    watch.Suspect();
    EXPECT_EQ(watch.Check(Ms{4000}), RendererWatch::Action::SendProbe);
    watch.ProbeAnswered(first, Ms{4100});
    EXPECT_EQ(watch.Check(Ms{4000} + RendererWatch::ProbeLimit),
              RendererWatch::Action::EndRenderer);
}

TEST_F(RendererWatchTest, AStepProbesAtOnceAndKeepsTheQuietClockOfTheLoadUnderWay) {
    watch.LoadAsked(Ms{0});
    EXPECT_EQ(watch.Check(Ms{0}), RendererWatch::Action::SendProbe);
    watch.ProbeAnswered(watch.ProbeId(), Ms{20});
    watch.LoadStarted(Ms{100});
    // A step while that load is silent does not restart its quiet time.
    watch.LoadAsked(Ms{5000});
    EXPECT_EQ(watch.Check(Ms{5000}), RendererWatch::Action::SendProbe);
    watch.ProbeAnswered(watch.ProbeId(), Ms{5010});
    EXPECT_EQ(watch.NextCheck(), Ms{5010} + RendererWatch::QuietLimit);
    watch.LoadAsked(Ms{6000});
    EXPECT_EQ(watch.Check(Ms{6000}), RendererWatch::Action::SendProbe);
    EXPECT_EQ(watch.Check(Ms{6000} + RendererWatch::ProbeLimit),
              RendererWatch::Action::EndRenderer);
}

TEST_F(RendererWatchTest, StopWhileAPatientProbeIsOutHurriesIt) {
    watch.LoadStarted(Ms{0});
    EXPECT_EQ(watch.Check(Ms{10000}), RendererWatch::Action::SendProbe);
    watch.Suspect();
    EXPECT_EQ(watch.NextCheck(), Ms{10000} + RendererWatch::ProbeLimit);
    EXPECT_EQ(watch.Check(Ms{10000} + RendererWatch::ProbeLimit),
              RendererWatch::Action::EndRenderer);
}

TEST_F(RendererWatchTest, ARendererThatWentByItselfIsNotEndedAgain) {
    watch.LoadStarted(Ms{0});
    EXPECT_EQ(watch.Check(Ms{10000}), RendererWatch::Action::SendProbe);
    watch.RendererGone();
    EXPECT_EQ(watch.Check(Ms{20000}), RendererWatch::Action::None);
}

}  // namespace
}  // namespace kpw
