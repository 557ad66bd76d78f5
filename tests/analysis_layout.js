// Measures the analysis page as laid out, for tests/analysis_browser.sh: the page's height, where each section
// stands, each box wider than the screen (with its section and its first columns), and the right edge of each
// column of the doubtful QSOs.
(function () {
  // Shown in a frame taller than itself: the body's height is the page's.
  var out = ["height " + document.body.scrollHeight, "viewport " + window.innerWidth];
  document.querySelectorAll("section").forEach(function (section) {
    out.push("section " + section.id + " " + Math.round(section.getBoundingClientRect().top) + " " + section.offsetHeight);
  });
  document.querySelectorAll(".wide").forEach(function (box) {
    if (box.scrollWidth > box.clientWidth + 1) {
      var section = box.closest("section");
      var heads = Array.prototype.map.call(box.querySelectorAll("th"), function (th) { return th.textContent; });
      out.push("overflow " + (section ? section.id : "-") + " " + heads.slice(0, 3).join("|"));
    }
  });
  document.querySelectorAll("#check table").forEach(function (table) {
    var heads = table.querySelectorAll("tr:first-child th");
    var names = Array.prototype.map.call(heads, function (th) { return th.textContent; });
    if (names.indexOf("at risk") < 0) return;
    heads.forEach(function (th) { out.push("right " + th.textContent + " " + Math.round(th.getBoundingClientRect().right)); });
  });
  var pre = document.createElement("pre");
  pre.id = "layout";
  pre.textContent = "\n" + out.join("\n") + "\n";
  // Written into the page that frames this one, which the browser dumps.
  var target = window.parent !== window ? window.parent.document.body : document.body;
  target.appendChild(target.ownerDocument.importNode(pre, true));
})();
