/* The film strip lives in a frame of every picture page; the page names itself after the "#"
   of the strip's address, so the strip can mark that picture and scroll it into view. */
(function () {
  "use strict";
  // Tell the picture page that the strip is here; it keeps the frame hidden until then.
  if (window.parent !== window) {
    window.parent.postMessage("kelvo-frame-ready", "*");
    window.addEventListener("message", function (event) {
      if (event.source === window.parent && event.data === "kelvo-frame-ping") {
        window.parent.postMessage("kelvo-frame-ready", "*");
      }
    });
  }

  var current = decodeURIComponent(String(location.hash).slice(1));
  if (!current) return;
  var reel = document.querySelector(".reel");
  var frames = document.querySelectorAll("a.frame");
  for (var i = 0; i < frames.length; i++) {
    if (frames[i].getAttribute("href") === current) {
      var frame = frames[i];
      frame.setAttribute("aria-current", "page");
      if (reel) {
        var cell = frame.parentNode;
        reel.scrollLeft = cell.offsetLeft - (reel.clientWidth - cell.offsetWidth) / 2;
      }
      break;
    }
  }
})();
