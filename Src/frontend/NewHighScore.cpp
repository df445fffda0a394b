#include "Src/frontend/NewHighScore.h"

#include "Src/core/InputManager.h"
#include "Src/core/TextStyles.h"
#include "Src/frontend/TitleBackground.h"
#include "Src/records/HighScoreManager.h"
#include "Src/records/HighScorePanel.h"
#include "Src/records/Settings.h"
#include "gfx/GfxScreen.h"
#include "gfx/GfxSurface.h"
#include "lib/Random.h"
#include "sound/SoundSystem.h"
#include "widgets/TextInput.h"

namespace {

enum SoundEvent : int { kSoundHighScoreMusic = 15, kSoundHighScore = 19 };
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kBoxGap = 4;

void playEvent(int event) {
    if (soundSystem)
        soundSystem->PlayEvent(event);
}

uint32_t convert(uint32_t colour) {
    return app.screen ? app.screen->ConvertColor(colour) : colour;
}

} // namespace

NewHighScore::NewHighScore() {
    loop_.init = [] { return true; };
    loop_.frame = [this] { frame(); };
    loop_.hideCursor = false;
}

NewHighScore::~NewHighScore() {
    release();
}

void NewHighScore::release() {
    delete messageBox_;
    messageBox_ = nullptr;
    delete nameBox_;
    nameBox_ = nullptr;
    delete picture_;
    picture_ = nullptr;
}

bool NewHighScore::loadPicture() {
    auto* surface = new GfxSurface;
    if (surface->CreateFromImage(app.screen, kPicture, 2) < 0) {
        delete surface;
        fatalError(app.screen, "Could not load file %s into surface", kPicture);
        fatalError(app.screen, "Could not load %s", kPicture);
        return false;
    }
    if (!surface->GetStore()) {
        delete surface;
        fatalError(app.screen, "Could not load %s", kPicture);
        return false;
    }
    surface->SetColorKey(convert(kPictureKey));
    picture_ = surface;
    return true;
}

void NewHighScore::runNewHighScore(int32_t score, HighScoreList* list, int32_t zone, int32_t skill,
                                   bool cheatsUsed) {
    pendingHighlight.zone = -1;
    rank_ = list ? list->findRank(score) + 1 : 0;
    messageLines_ = "";
    stamps_ = 0;
    layoutTop_ = -1;
    if (rank_ == 0)
        return;
    score_ = score;
    list_ = list;
    cheatsUsed_ = cheatsUsed;

    if (options.titleMusic)
        playEvent(kSoundHighScoreMusic);
    if (options.soundEffects)
        playEvent(kSoundHighScore);
    if (!loadPicture())
        return; // the fatal error ends the program

    nameBox_ = new TextInput(app.screen, highScoreStyle);
    nameBox_->setUpInput(inputManager ? inputManager->input() : nullptr,
                         HighScoreEntry::kMaxNameLength);
    nameBox_->setTitle("Enter your name please!");
    nameBox_->setText(lastPlayerName.c_str());
    nameBox_->setLimits(kNameWidth, -1, kNameWidth, -1);

    if (!cheatsUsed) {
        pendingHighlight.zone = zone;
        pendingHighlight.skill = skill;
        pendingHighlight.rank = rank_ - 1;
    }

    messageBox_ = new TextList(app.screen, highScoreStyle);
    messageBox_->setTitle("Congratulations!");
    auto addLines = [this](const char* text) {
        messageBox_->addPlainText(text);
        messageLines_ += text;
    };
    if (cheatsUsed) {
        addLines("\nYou'd have a new high score!\n");
        addLines("\nBut the cheat-keys were used. :)\n");
    } else {
        addLines("\nYou got a new high score!\n");
    }
    String number;
    number.format("Score=%ld\n", static_cast<long>(score));
    addLines(number.c_str());
    number.format("Rank=%ld\n", static_cast<long>(rank_));
    addLines(number.c_str());

    const uint32_t background = convert(kBackground);
    if (app.backSurface)
        app.backSurface->FillAll(background);
    if (app.screen && app.screen->GetBackSurface())
        app.screen->GetBackSurface()->FillAll(background);

    pictureCountdown_ = 2;
    winloop(loop_, true);
    release();
}

void NewHighScore::frame() {
    if (inputManager)
        inputManager->updateForMenu(); // fresh key states for the name box

    --pictureCountdown_;
    if (pictureCountdown_ < 2) {
        if (pictureCountdown_ == 1) {
            pictureX_ = Random(kScreenWidth - picture_->GetWidth());
            pictureY_ = Random(kScreenHeight - picture_->GetHeight());
        }
        if (app.backSurface)
            picture_->DrawKeyed(app.backSurface, pictureX_, pictureY_);
        ++stamps_;
        if (pictureCountdown_ == 0)
            pictureCountdown_ = kStampPeriod;
    }

    if (nameBox_->finished()) {
        const char* name = nameBox_->text();
        if (!cheatsUsed_) {
            list_->insert(name, score_);
            lastPlayerName = name;
        }
        app.loopResult = kLoopChoice;
        setPanelCountdown(1);
        return;
    }

    nameBox_->handleKeys();
    if (layoutTop_ < 0) {
        int messageWidth = 0, messageHeight = 0, nameWidth = 0, nameHeight = 0;
        messageBox_->getSize(messageWidth, messageHeight);
        nameBox_->getSize(nameWidth, nameHeight);
        layoutTop_ = (kScreenHeight - messageHeight - nameHeight) / 3;
    }
    messageBox_->drawOpaque(-1, layoutTop_, 0, 0, app.backSurface);
    nameBox_->drawOpaque(-1, layoutTop_ + messageBox_->height() + kBoxGap, 0, 0, app.backSurface);
}
