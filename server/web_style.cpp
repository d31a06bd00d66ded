// The pages' look: the game's parchment and gold, its calligraphic face (Oldania ADF) served with
// the pages, and plain digits from a second face, since Oldania's zero is slashed.
#include "server/web_pages.h"

std::string_view StyleSheet() {
  return R"css(@font-face {
  font-family: "Skarvel Oldania";
  src: url("/fonts/OldaniaADFStd-Regular.otf") format("opentype");
  font-display: swap;
}
/* Digits only, from a plain serif face where the reader has one; Oldania writes the rest. */
@font-face {
  font-family: "Skarvel Digits";
  src: local("DejaVu Serif"), local("Liberation Serif"), local("Georgia"), local("Times New Roman");
  unicode-range: U+0030-0039;
}
:root {
  --ink: #3a230f;
  --faded-ink: #6b4a26;
  --parchment: #f3e2b8;
  --parchment-dark: #e2c98e;
  --gold: #b8860b;
  --gold-light: #e7c157;
  --ember: #9c2a12;
}
* { box-sizing: border-box; }
html { background: #2a1a0c; }
body {
  margin: 0 auto;
  max-width: 60rem;
  min-height: 100vh;
  color: var(--ink);
  background: radial-gradient(ellipse at center, var(--parchment) 55%, var(--parchment-dark) 100%);
  border-left: 0.4rem double var(--gold);
  border-right: 0.4rem double var(--gold);
  font-family: "Skarvel Digits", "Skarvel Oldania", "URW Chancery L", Georgia, serif;
  font-size: 1.15rem;
  line-height: 1.5;
}
a { color: var(--ember); }
a:hover, a:focus { color: var(--gold); }
.banner {
  display: flex;
  flex-wrap: wrap;
  align-items: baseline;
  justify-content: space-between;
  gap: 0.5rem 1.5rem;
  padding: 0.8rem 1.2rem;
  background: linear-gradient(#4a2c10, #2e1a08);
  border-bottom: 0.25rem solid var(--gold);
}
.banner a { color: var(--gold-light); text-decoration: none; }
.banner .brand { font-size: 2rem; letter-spacing: 0.05em; }
.banner nav a { margin-left: 1rem; font-size: 1.2rem; }
main { padding: 0.5rem 1.2rem 2rem; }
h1, h2 {
  color: var(--ember);
  font-weight: normal;
  text-shadow: 0 1px 0 var(--gold-light);
  border-bottom: 1px solid var(--gold);
}
h1 { font-size: 2.6rem; margin: 0.8rem 0 0.6rem; }
h2 { font-size: 1.8rem; margin: 1.6rem 0 0.6rem; }
.lead { font-size: 1.3rem; }
table.scores {
  width: 100%;
  border-collapse: collapse;
  background: rgba(255, 248, 225, 0.55);
  border: 2px solid var(--gold);
  box-shadow: 0 0 0 4px var(--parchment), 0 0 0 5px var(--gold);
  margin: 0.8rem 0;
}
.scores th {
  background: linear-gradient(#c99a2e, var(--gold));
  color: #fff8e0;
  font-weight: normal;
  text-align: left;
  padding: 0.35rem 0.6rem;
}
.scores td {
  padding: 0.3rem 0.6rem;
  border-top: 1px solid var(--parchment-dark);
}
.scores td.name, .scores td.country { overflow-wrap: anywhere; }
.scores tbody tr:nth-child(-n+3) td { color: var(--ember); }
.scores .rank, .scores .score {
  text-align: right;
  white-space: nowrap;
  font-variant-numeric: tabular-nums;
}
.scores .date { white-space: nowrap; }
.scores td.date { color: var(--faded-ink); }
.scores td.proof { white-space: nowrap; }
.scores td.unproven, .scores td.pending { color: var(--faded-ink); font-style: italic; }
.scores td.refused { color: var(--faded-ink); text-decoration: line-through; }
.empty { font-style: italic; color: var(--faded-ink); }
.filter { margin: 0.5rem 0; display: flex; flex-wrap: wrap; align-items: center; gap: 0.5rem; }
.filter input, .filter button {
  font: inherit;
  color: var(--ink);
  background: #fff8e6;
  border: 1px solid var(--gold);
  border-radius: 0.2rem;
  padding: 0.15rem 0.5rem;
}
.filter input { width: 9rem; }
.filter button { background: linear-gradient(var(--gold-light), var(--gold)); cursor: pointer; }
.pages { display: flex; gap: 1rem; justify-content: center; margin: 1rem 0; }
.gallery {
  display: grid;
  grid-template-columns: repeat(auto-fill, minmax(16rem, 1fr));
  gap: 1rem;
}
figure { margin: 0; }
figure img {
  width: 100%;
  height: auto;
  border: 3px solid var(--gold);
  box-shadow: 0 2px 6px rgba(58, 35, 15, 0.5);
}
figcaption { text-align: center; color: var(--faded-ink); }
pre {
  background: #2e1a08;
  color: var(--gold-light);
  padding: 0.8rem 1rem;
  border-radius: 0.3rem;
  overflow-x: auto;
  font-size: 0.95rem;
}
code { font-family: "DejaVu Sans Mono", monospace; }
footer {
  padding: 1rem 1.2rem;
  border-top: 1px solid var(--gold);
  color: var(--faded-ink);
  font-size: 0.95rem;
}
@media (max-width: 40rem) {
  body { border: 0; font-size: 1.05rem; }
  h1 { font-size: 2rem; }
  .scores th, .scores td { padding: 0.25rem 0.3rem; }
  .scores .date { display: none; }
}
)css";
}
