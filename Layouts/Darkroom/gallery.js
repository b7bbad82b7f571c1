/* Keyboard and swipe navigation for Kelvo galleries.
   Left and right arrow keys follow the previous and next links, Escape the link back to the
   overview. Links that point to the page itself (the first and last page) are shown as
   disabled. Everything is optional: without these links, or without script, the pages work
   as plain links. */
(function () {
  "use strict";

  var here = String(location.href).split("#")[0];

  // Page titles read "picture · gallery"; drop the dot when one of the two is empty.
  var title = document.title.replace(/^[\s\u00b7]+|[\s\u00b7]+$/g, "");
  if (title !== document.title) document.title = title || "Pictures";

  function links(name) {
    return document.querySelectorAll('a[data-nav="' + name + '"]');
  }

  function target(name) {
    var all = links(name);
    for (var i = 0; i < all.length; i++) {
      if (all[i].getAttribute("href")) return all[i].href;
    }
    return "";
  }

  function go(name) {
    var url = target(name);
    if (url) {
      location.href = url;
      return true;
    }
    return false;
  }

  // The first page's previous link and the last page's next link lead to the page itself.
  ["prev", "next"].forEach(function (name) {
    var all = links(name);
    for (var i = 0; i < all.length; i++) {
      var a = all[i];
      if (a.getAttribute("href") !== null && a.href.split("#")[0] === here) {
        a.removeAttribute("href");
        a.setAttribute("aria-disabled", "true");
        a.classList.add("is-disabled");
      }
    }
  });

  // A pager whose links all lead nowhere (a gallery of one page) is hidden.
  var pagers = document.querySelectorAll("[data-pager]");
  for (var p = 0; p < pagers.length; p++) {
    if (!pagers[p].querySelector("a[data-nav][href]")) pagers[p].hidden = true;
  }

  document.addEventListener("keydown", function (event) {
    if (event.defaultPrevented || event.altKey || event.ctrlKey || event.metaKey ||
        event.shiftKey || event.isComposing) return;
    var t = event.target;
    if (t && (t.isContentEditable || /^(INPUT|TEXTAREA|SELECT)$/.test(t.tagName))) return;
    var name = { ArrowLeft: "prev", ArrowRight: "next", Escape: "up" }[event.key];
    if (name && go(name)) event.preventDefault();
  });

  // A frame marked data-wait stays invisible (its room kept) until the page inside says it is
  // there, so that a missing page, as in a preview of a single layer, shows no error message.
  var waiting = document.querySelectorAll("iframe[data-wait]");
  if (waiting.length) {
    window.addEventListener("message", function (event) {
      for (var w = 0; w < waiting.length; w++) {
        if (event.source === waiting[w].contentWindow && event.data === "kelvo-frame-ready") {
          waiting[w].classList.remove("is-waiting");
        }
      }
    });
    for (var w = 0; w < waiting.length; w++) {
      waiting[w].classList.add("is-waiting");
      if (waiting[w].contentWindow) waiting[w].contentWindow.postMessage("kelvo-frame-ping", "*");
    }
  }

  // A horizontal swipe over the picture turns the page on touch screens.
  var stage = document.querySelector("[data-swipe]");
  if (stage && window.PointerEvent) {
    var startX = null, startY = 0;
    stage.addEventListener("pointerdown", function (event) {
      if (event.pointerType === "touch") { startX = event.clientX; startY = event.clientY; }
    });
    stage.addEventListener("pointerup", function (event) {
      if (startX === null) return;
      var dx = event.clientX - startX, dy = event.clientY - startY;
      startX = null;
      if (Math.abs(dx) > 60 && Math.abs(dx) > 2 * Math.abs(dy)) go(dx < 0 ? "next" : "prev");
    });
    stage.addEventListener("pointercancel", function () { startX = null; });
  }
})();
