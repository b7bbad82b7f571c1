// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/THelpManager.h"

#include <algorithm>
#include <utility>

// Sets the owner and the file of one request for the viewers to ask, and clears them after.
class THelpManager::TRequest {
public:
    TRequest(THelpManager& manager, QObject* owner, const QString& file)
        : m_manager(manager) {
        m_manager.m_handle = owner;
        m_manager.m_requestFile = file;
    }
    ~TRequest() {
        m_manager.m_handle = nullptr;
        m_manager.m_requestFile.clear();
    }
    TRequest(const TRequest&) = delete;
    TRequest& operator=(const TRequest&) = delete;

private:
    THelpManager& m_manager;
};

THelpManager::THelpManager() = default;

THelpManager::~THelpManager() {
    // A viewer may call Release while shutting down; work on a copy.
    const auto viewers = m_viewers;
    for (const auto& registered : viewers)
        registered.Viewer->ShutDown();
}

void THelpManager::RegisterViewer(std::shared_ptr<ICustomHelpViewer> viewer) {
    if (!viewer)
        return;
    const int id = m_nextId++;
    m_viewers.push_back({id, viewer});
    viewer->SetHelpManager(this);
    viewer->NotifyID(id);
}

void THelpManager::Release(int viewerId) {
    std::erase_if(m_viewers, [viewerId](const TRegistered& r) { return r.Id == viewerId; });
}

void THelpManager::SetHelpSelector(std::shared_ptr<IHelpSelector> selector) {
    m_selector = std::move(selector);
}

void THelpManager::SetWinHelpTester(std::shared_ptr<IWinHelpTester> tester) {
    m_tester = std::move(tester);
}

bool THelpManager::ShowTableOfContents(QObject* owner) {
    const TRequest request(*this, owner, {});
    std::vector<std::shared_ptr<ICustomHelpViewer>> candidates;
    QStringList names;
    for (const auto& registered : m_viewers) {
        if (registered.Viewer->CanShowTableOfContents()) {
            candidates.push_back(registered.Viewer);
            names.append(registered.Viewer->GetViewerName());
        }
    }
    if (candidates.empty())
        return false;
    std::size_t chosen = 0;
    if (candidates.size() > 1) {
        const int index = m_selector ? m_selector->TableOfContents(names) : 0;
        if (index < 0 || static_cast<std::size_t>(index) >= candidates.size())
            return false;
        chosen = static_cast<std::size_t>(index);
    }
    candidates[chosen]->ShowTableOfContents();
    return true;
}

bool THelpManager::ShowHelpContext(int contextId, QObject* owner) {
    const TRequest request(*this, owner, m_helpFile);
    if (m_tester && m_tester->CanShowContext(contextId, m_helpFile))
        return false;
    for (const auto& registered : m_viewers) {
        if (registered.Viewer->UnderstandsContext(contextId, m_helpFile)) {
            registered.Viewer->DisplayHelpByContext(contextId, m_helpFile);
            return true;
        }
    }
    return false;
}

bool THelpManager::ShowKeyword(const QString& keyword, QObject* owner) {
    const TRequest request(*this, owner, {});
    if (m_tester && m_tester->CanShowALink(keyword, m_helpFile))
        return false;
    QStringList strings;
    std::vector<std::shared_ptr<ICustomHelpViewer>> owners;
    for (const auto& registered : m_viewers) {
        if (registered.Viewer->UnderstandsKeyword(keyword) <= 0)
            continue;
        for (const QString& s : registered.Viewer->GetHelpStrings(keyword)) {
            strings.append(s);
            owners.push_back(registered.Viewer);
        }
    }
    if (strings.isEmpty())
        return false;
    qsizetype chosen = 0;
    if (strings.size() > 1 && m_selector) {
        chosen = m_selector->SelectKeyword(strings);
        if (chosen < 0 || chosen >= strings.size())
            return false;
    }
    owners[static_cast<std::size_t>(chosen)]->ShowHelp(strings[chosen]);
    return true;
}

bool THelpManager::ShowTopic(const QString& topic, QObject* owner) {
    const TRequest request(*this, owner, {});
    if (m_tester && m_tester->CanShowTopic(topic, m_helpFile))
        return false;
    for (const auto& registered : m_viewers) {
        if (registered.Viewer->UnderstandsTopic(topic)) {
            registered.Viewer->DisplayTopic(topic);
            return true;
        }
    }
    return false;
}
