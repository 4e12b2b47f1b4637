// The design of frmIcons: both keys present with distinct pictures of the
// right colours, a missing key fails with 35601, every key is swallowed.
#include "plugin/common/icon_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/com/error.h"
#include "platform/forms/forms.h"

using namespace kado::forms;

namespace {

// Counts opaque pixels whose dominant channel is the given one (16 red, 8 green, 0 blue).
int Dominant(const Picture& p, int shift) {
    return static_cast<int>(std::count_if(p.argb.begin(), p.argb.end(), [shift](std::uint32_t px) {
        if ((px >> 24) == 0) return false;
        const int c = static_cast<int>((px >> shift) & 0xFF);
        for (int other : {16, 8, 0})
            if (other != shift && static_cast<int>((px >> other) & 0xFF) * 2 > c) return false;
        return true;
    }));
}

std::shared_ptr<Form> IconForm() {
    return Form::Create(std::make_shared<HeadlessDesktop>(), std::string(honora::kIconFormName),
                        honora::frmIcons_Design);
}

TEST(IconForm, ImageListHoldsTheConfirmAndCancelPictures) {
    auto form = IconForm();
    auto& list = form->Get<ImageList>("ImageListButton");
    EXPECT_EQ(list.Count(), 2u);
    const Picture& ok = list.Picture("OK");
    const Picture& abbruch = list.Picture("Abbruch");
    for (const Picture* p : {&ok, &abbruch}) {
        EXPECT_EQ(p->width, 16);
        EXPECT_EQ(p->height, 16);
        EXPECT_EQ(p->argb.size(), 256u);
    }
    EXPECT_NE(ok, abbruch);
    EXPECT_GT(Dominant(ok, 8), 20);  // a green check mark
    EXPECT_EQ(Dominant(ok, 16), 0);
    EXPECT_GT(Dominant(abbruch, 16), 20);  // a red cross
    EXPECT_EQ(Dominant(abbruch, 8), 0);
    EXPECT_EQ(ok, honora::OkPicture());
    EXPECT_FALSE(form->Visible());
}

TEST(IconForm, MissingKeyFailsWithImageNotFound) {
    auto form = IconForm();
    for (const char* key : {"Ok", "", "Abbruch "}) {
        SCOPED_TRACE(key);
        try {
            form->Get<ImageList>("ImageListButton").Picture(key);
            ADD_FAILURE() << "no error";
        } catch (const kado::com::Error& e) {
            EXPECT_EQ(e.Number(), err::ImageNotFound);
        }
    }
}

TEST(IconForm, KeyUpIsSwallowed) {
    auto form = IconForm();
    form->Load();
    for (int code : {13, 27, 65, key::Comma}) EXPECT_EQ(form->FireKeyUp(code), 0) << code;
}

TEST(IconForm, ComponentIconIsDrawn) {
    const Picture icon = honora::ComponentIcon();
    EXPECT_EQ(icon.width, 32);
    EXPECT_EQ(icon.height, 32);
    ASSERT_EQ(icon.argb.size(), 1024u);
    EXPECT_GT(Dominant(icon, 16), 0);  // the boundary point
    EXPECT_GT(Dominant(icon, 0), 0);   // the parcel outline
}

}  // namespace
