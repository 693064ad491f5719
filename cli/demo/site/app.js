// The demo site's script: it only notes in the footer when the page finished loading.
"use strict";
window.addEventListener("load", function () {
    var footer = document.querySelector("footer p");
    if (footer) {
        footer.appendChild(document.createTextNode(" Loaded at " + new Date().toLocaleTimeString() + "."));
    }
});
