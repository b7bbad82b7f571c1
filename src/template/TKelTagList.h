// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

#include "template/TKelTag.h"
#include "template/TKelTagRefs.h"

/// An ordered list that owns its tags: Clear and destruction free them. So that no tag is ever
/// owned twice, it refuses Assign and Append (EListError "TKelTagList.Assign" or
/// "TKelTagList.Append") and takes new tags only as unique_ptr.
class TKelTagList : public TKelTagRefs {
public:
    TKelTagList() = default;
    ~TKelTagList() override = default;

    TKelTag* Add(std::unique_ptr<TKelTag> tag);
    void Clear() override;
    void Assign(const TKelTagRefs& other) override;
    void Append(const TKelTagRefs& other) override;

private:
    using TKelTagRefs::Add;
    std::vector<std::unique_ptr<TKelTag>> m_owned;
};
