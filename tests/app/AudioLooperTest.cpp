#include "app/AudioLooper.h"

#include "app/App.h"
#include "app/Audio.h"
#include "app/Sound.h"
#include "support/SoundTestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
class AudioLooperTest : public testing::Test
{
protected:
    void SetUp() override
    {
        folder.WriteBytes("cached/chatter.cached",
                          MakeSoundCacheFile(1, 16, 22050, std::vector<uint8_t>(88200, 0)));
        sound.Load("chatter", 1);
        ASSERT_EQ(sound.GetVoiceCount(), 2);
        looper.SetSound(sound);
        voice = looper.GetVoice();
        ASSERT_EQ(voice, sound.GetVoice(1));
    }

    int32_t Attenuation() const { return voice->GetBuffer()->GetVolume(); }

    void Updates(int count)
    {
        for (int i = 0; i < count; ++i) {
            looper.Update();
        }
    }

    SoundTestFolder folder;
    App app;
    Sound sound;
    AudioLooper looper;
    SoundInstance* voice = nullptr;
};
} // namespace

TEST_F(AudioLooperTest, CountsRequestsAndFadesAfterTheLast)
{
    looper.Start();
    looper.Start();
    EXPECT_TRUE(voice->IsPlaying());
    EXPECT_TRUE(voice->IsLooping());
    looper.Release();
    EXPECT_FALSE(looper.IsStopping());
    Updates(10);
    EXPECT_EQ(Attenuation(), 0) << "still playing at its volume";

    looper.Release();
    EXPECT_TRUE(looper.IsStopping());
    Updates(1);
    EXPECT_EQ(Attenuation(), Audio::VolumeToAttenuation(0.975f));
    Updates(38);
    EXPECT_TRUE(voice->IsPlaying()) << "39 of the 40 fade steps";
    Updates(1);
    EXPECT_FALSE(voice->IsPlaying());
    EXPECT_FALSE(looper.IsStopping());
    EXPECT_EQ(looper.GetRequests(), 0);
}

TEST_F(AudioLooperTest, StartDuringTheFadeBringsTheLoopBack)
{
    looper.SetVolume(0.5f);
    looper.Start();
    looper.Release();
    Updates(20);
    looper.Start();
    EXPECT_FALSE(looper.IsStopping());
    EXPECT_TRUE(voice->IsPlaying());
    EXPECT_EQ(Attenuation(), Audio::VolumeToAttenuation(0.5f));
    Updates(100);
    EXPECT_TRUE(voice->IsPlaying());
}

TEST_F(AudioLooperTest, SilentLoopStillFadesFromFullLevel)
{
    looper.SetVolume(0.0f);
    looper.Start();
    EXPECT_TRUE(voice->IsPlaying());
    EXPECT_EQ(Attenuation(), -10000);
    looper.Release();
    Updates(1);
    EXPECT_EQ(Attenuation(), Audio::VolumeToAttenuation(0.975f));
}

TEST_F(AudioLooperTest, ExtraReleasesChangeNothing)
{
    looper.Release();
    looper.Release();
    EXPECT_EQ(looper.GetRequests(), 0);
    looper.Start();
    EXPECT_EQ(looper.GetRequests(), 1);
    EXPECT_TRUE(voice->IsPlaying());
}

TEST_F(AudioLooperTest, StopEndsAtOnceButNotWhileQuitting)
{
    looper.SetVolume(0.3f);
    looper.Start();
    looper.Start();
    looper.Stop();
    EXPECT_FALSE(voice->IsPlaying());
    EXPECT_EQ(looper.GetRequests(), 0);
    looper.Start();
    EXPECT_EQ(Attenuation(), 0) << "Stop brings the volume back to 1";

    app.quit = true;
    looper.Stop();
    EXPECT_TRUE(voice->IsPlaying());
    EXPECT_EQ(looper.GetRequests(), 0);
    app.quit = false;
}

// Paused (as often as the game pauses it), the loop is silent and its fade
// holds; after the last resume it goes on where it stood. Started or
// stopped meanwhile, it is as asked when it resumes.
TEST_F(AudioLooperTest, APausedLoopIsSilentAndGoesOnWhereItStood)
{
    looper.Start();
    looper.Release();
    app.rootObjects.Update();
    looper.Pause();
    looper.Pause();
    for (int i = 0; i < 50; ++i) {
        app.rootObjects.Update();
    }
    EXPECT_FALSE(voice->IsPlaying());
    looper.Resume();
    EXPECT_FALSE(voice->IsPlaying()) << "paused twice";
    looper.Resume();
    EXPECT_TRUE(voice->IsPlaying());
    EXPECT_EQ(Attenuation(), Audio::VolumeToAttenuation(0.975f)) << "one fade step taken";
    for (int i = 0; i < 39; ++i) {
        app.rootObjects.Update();
    }
    EXPECT_FALSE(voice->IsPlaying()) << "the fade's other 39 steps";

    looper.Pause();
    looper.Start();
    EXPECT_FALSE(voice->IsPlaying());
    looper.Resume();
    EXPECT_TRUE(voice->IsPlaying());
    looper.Pause();
    looper.Stop();
    looper.Resume();
    EXPECT_FALSE(voice->IsPlaying());
}

TEST_F(AudioLooperTest, PitchFollowsTheVoiceRate)
{
    looper.SetPitch(2.0f);
    EXPECT_EQ(voice->GetBuffer()->GetFrequency(), 44100u);
    looper.SetSound(sound);
    EXPECT_EQ(looper.GetVoice(), sound.GetVoice(0));
    EXPECT_EQ(looper.GetVoice()->GetBuffer()->GetFrequency(), 22050u);
}

TEST(AudioLooperWithoutDeviceTest, DoesNothing)
{
    SoundTestFolder folder;
    theAudio.Shutdown();
    App app;
    Sound sound;
    AudioLooper looper;
    looper.SetSound(sound);
    EXPECT_EQ(looper.GetVoice(), nullptr);
    looper.Start();
    EXPECT_EQ(looper.GetRequests(), 0);
    looper.Release();
    looper.SetVolume(0.5f);
    looper.SetPitch(2.0f);
    looper.Update();
    looper.Stop();
}
