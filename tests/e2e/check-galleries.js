#!/usr/bin/env node
// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Makes a gallery with every layout through kelvo-cli, in English and in German, and opens every
// page in headless Chromium on a screen of two device pixels per CSS pixel, as a visitor would;
// leaves screenshots of an overview and a picture page in <work>/screenshots.
// Usage: --cli kelvo-cli --layouts DIR --pictures DIR --work DIR [--example K] [--chromium EXE]
'use strict';

const childProcess = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { pathToFileURL, fileURLToPath } = require('url');

const PHONE = { width: 390, height: 844 };
// Device pixels per CSS pixel of the screen every page is opened on: the layouts' 2x pictures.
const DEVICE_SCALE = 2;
const DESKTOP = { width: 1280, height: 800 };
// A photo's name that injects a script if a title goes in unescaped; it must read so as alt text.
const HOSTILE_TITLE = `Tom & "Jerry" <img src=x onerror=alert(1)>'s`;
// Elements whose address the browser fetches by itself.
const RESOURCE_SELECTOR =
  'img[src], link[href], script[src], iframe[src], source[src], video[src], audio[src], embed[src], object[data]';

function parseArgs(argv) {
  const args = { chromium: '/usr/bin/chromium' };
  for (let i = 0; i < argv.length; i += 2) {
    const key = argv[i].replace(/^--/, '');
    if (!['cli', 'layouts', 'pictures', 'work', 'example', 'chromium'].includes(key) || !argv[i + 1]) {
      throw new Error(`unknown or incomplete argument: ${argv[i]}`);
    }
    args[key] = path.resolve(argv[i + 1]);
  }
  for (const key of ['cli', 'layouts', 'pictures', 'work']) if (!args[key]) throw new Error(`missing --${key}`);
  return args;
}

// Runs kelvo-cli; returns the last line it prints (for generate: the start page).
function runCli(cli, args) {
  const result = childProcess.spawnSync(cli, args, { encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
  if (result.error) throw new Error(`cannot run ${cli}: ${result.error.message}`);
  if (result.status !== 0) {
    throw new Error(`kelvo-cli ${args.join(' ')} exited with ${result.status}:\n${result.stdout}${result.stderr}`);
  }
  return result.stdout.split(/\r?\n/).map((l) => l.trim()).filter((l) => l).pop() || '';
}

function listFiles(dir, predicate) {
  return fs.readdirSync(dir, { withFileTypes: true }).flatMap((e) => {
    const full = path.join(dir, e.name);
    return e.isDirectory() ? listFiles(full, predicate) : predicate(full) ? [full] : [];
  }).sort();
}

// The sample photos twice, the second time under names with spaces, brackets and an umlaut (so
// overviews page and links take the link form), and once more under HOSTILE_TITLE.
function preparePictures(source, target) {
  fs.rmSync(target, { recursive: true, force: true });
  fs.mkdirSync(target, { recursive: true });
  const photos = fs.readdirSync(source).filter((n) => /\.(jpe?g|bmp)$/i.test(n)).sort();
  if (photos.length === 0) throw new Error(`no pictures in ${source}`);
  for (const name of photos) {
    const ext = path.extname(name);
    fs.copyFileSync(path.join(source, name), path.join(target, name));
    fs.copyFileSync(path.join(source, name), path.join(target, `Über ${path.basename(name, ext)} (2)${ext}`));
  }
  fs.copyFileSync(path.join(source, photos[0]), path.join(target, `${HOSTILE_TITLE}.jpg`));
  return photos.length * 2 + 1;
}

// The words of a layout's kelvo-words.ini: { en: { key: text }, de: {...} }.
function readWords(layoutDir) {
  const words = {};
  const file = path.join(layoutDir, 'kelvo-words.ini');
  if (!fs.existsSync(file)) return words;
  let section = null;
  for (const raw of fs.readFileSync(file, 'utf8').replace(/^\uFEFF/, '').split(/\r?\n/)) {
    const line = raw.trim();
    if (!line || line.startsWith('#') || line.startsWith(';')) continue;
    const header = line.match(/^\[(.*)\]$/);
    if (header) section = words[header[1].trim().toLowerCase()] ??= {};
    else if (section && line.includes('=')) {
      const at = line.indexOf('=');
      section[line.slice(0, at).trim()] = line.slice(at + 1).trim();
    }
  }
  return words;
}

// The English words a gallery in language must not show: all but those its translation keeps.
function foreignWords(words, language) {
  const own = words[language] || {};
  return language === 'en' ? [] : Object.entries(words.en || {}).filter(([key, text]) => own[key] !== text)
    .map(([, text]) => text);
}

const isLocal = (url) => /^(file|data|about|blob):/.test(url);
const here = (file) => pathToFileURL(file).href;

class Checker {
  constructor(context) {
    this.context = context;
    this.failures = [];
    this.passed = this.failed = this.keyboardChecked = this.hostileTitlesShown = this.offered2x = 0;
  }

  fail(where, message) {
    this.failures.push(`${where}: ${message}`);
  }

  // Opens a page, runs use(page, problems) and closes it; problems are what went wrong meanwhile.
  async with(file, viewport, use, colorScheme = 'light') {
    const page = await this.context.newPage();
    const problems = [];
    page.on('console', (msg) => msg.type() === 'error' && problems.push(`console error: ${msg.text()}`));
    page.on('pageerror', (error) => problems.push(`script error: ${error.message}`));
    page.on('dialog', (dialog) => {
      problems.push(`a script ran: ${dialog.type()} "${dialog.message()}"`);
      dialog.dismiss().catch(() => {});
    });
    page.on('requestfailed', (request) => problems.push(
      `request failed: ${request.url()} (${request.failure() ? request.failure().errorText : 'failed'})`));
    page.on('request', (request) => !isLocal(request.url()) && problems.push(`non-local resource: ${request.url()}`));
    try {
      await page.setViewportSize(viewport);
      await page.emulateMedia({ colorScheme });
      await page.goto(here(file), { waitUntil: 'load' });
      return await use(page, problems);
    } finally {
      await page.close();
    }
  }

  // Loads every picture of every frame now (lazy ones included) and returns the broken ones.
  async loadAllImages(page) {
    const broken = [];
    for (const frame of page.frames()) {
      broken.push(...await frame.evaluate(async () => {
        const images = Array.from(document.images);
        for (const img of images) img.loading = 'eager';
        await Promise.all(images.map((img) => img.complete || new Promise((resolve) => {
          img.addEventListener('load', resolve, { once: true });
          img.addEventListener('error', resolve, { once: true });
        })));
        return images.filter((img) => img.naturalWidth === 0).map((img) => img.getAttribute('src'));
      }));
    }
    return broken;
  }

  // Every local link and resource of every frame must find its file, inside the gallery.
  async checkReferences(page, where, galleryDir) {
    for (const frame of page.frames()) {
      const refs = await frame.evaluate((selector) => [
        ...Array.from(document.querySelectorAll('a[href]'), (a) => ({ kind: 'link', url: a.href, raw: a.getAttribute('href') })),
        ...Array.from(document.querySelectorAll(selector), (el) => {
          const attr = ['src', 'href', 'data'].find((a) => el.hasAttribute(a));
          return { kind: 'resource', url: el[attr] || el.getAttribute(attr), raw: el.getAttribute(attr) };
        })], RESOURCE_SELECTOR);
      for (const ref of refs) {
        if (ref.url.startsWith('file:')) {
          const file = fileURLToPath(ref.url.split('#')[0].split('?')[0]);
          if (!fs.existsSync(file)) this.fail(where, `${ref.kind} "${ref.raw}" points at a missing file`);
          // Fine on this disk, broken once the gallery folder is published on its own.
          else if (path.relative(galleryDir, file).startsWith('..')) {
            this.fail(where, `${ref.kind} "${ref.raw}" points outside the gallery folder`);
          }
        } else if (ref.kind === 'resource' && !isLocal(ref.url)) {
          this.fail(where, `resource "${ref.raw}" is not part of the gallery`);
        }
      }
    }
  }

  // On this 2x screen every picture with a 2x candidate shows it, and every picture has width and
  // height attributes that are its 1x picture's size, so the page keeps its layout while the
  // pictures arrive (the browser reserves their boxes from the attributes).
  // Counts the pictures that have a 2x version in offered2x (a large frame may have none).
  async checkPictures(page, where) {
    for (const frame of page.frames()) {
      const [problems, offered] = await frame.evaluate(async () => {
        const found = [];
        let offered = 0;
        for (const img of Array.from(document.images)) {
          const src = img.getAttribute('src');
          const width = Number(img.getAttribute('width'));
          const height = Number(img.getAttribute('height'));
          if (!(width > 0 && height > 0)) {
            found.push(`${src}: no width and height attributes`);
            continue;
          }
          const twice = (img.getAttribute('srcset') || '').split(',').map((c) => c.trim().split(/\s+/))
            .find(([, descriptor]) => descriptor === '2x');
          if (twice) offered++;
          if (twice && img.currentSrc !== new URL(twice[0], document.baseURI).href) {
            found.push(`${src}: the 2x screen shows ${img.currentSrc}, not ${twice[0]}`);
          }
          const first = new Image();
          first.src = img.src;
          await first.decode().catch(() => {});
          if (first.naturalWidth !== width || first.naturalHeight !== height) {
            found.push(`${src}: width="${width}" height="${height}", but the picture is ` +
                       `${first.naturalWidth} x ${first.naturalHeight}`);
          }
        }
        return [found, offered];
      });
      this.offered2x += offered;
      for (const problem of problems) this.fail(where, problem);
    }
  }

  // Words the page's language has, shown in English: in its text, title or labels.
  async checkWords(page, where, foreign) {
    const shown = await page.evaluate(() => [document.title, document.body.innerText,
      ...Array.from(document.querySelectorAll('[aria-label], [title]'),
        (el) => `${el.getAttribute('aria-label') || ''} ${el.getAttribute('title') || ''}`)].join('\n'));
    for (const word of foreign) if (shown.includes(word)) this.fail(where, `shows the English "${word}"`);
  }

  async checkPage(name, file, galleryDir, language, foreign) {
    const where = `${name}/${path.relative(galleryDir, file).split(path.sep).join('/')}`;
    const leftover = fs.readFileSync(file, 'utf8').match(/#kel_[^#]*#/i);
    if (leftover) this.fail(where, `tag left unfilled: ${leftover[0]}`);
    await this.with(file, PHONE, async (page, problems) => {
      for (const src of await this.loadAllImages(page)) this.fail(where, `picture does not load: ${src}`);
      await this.checkReferences(page, where, galleryDir);
      await this.checkPictures(page, where);
      await this.checkWords(page, where, foreign);
      const facts = await page.evaluate((hostile) => ({
        charset: document.characterSet,
        lang: document.documentElement.getAttribute('lang') || '',
        title: document.title,
        width: document.documentElement.scrollWidth,
        noAlt: Array.from(document.images).filter((img) => !img.hasAttribute('alt')).length,
        injected: document.querySelectorAll('[onerror]').length,
        hostileTitles: Array.from(document.images).filter((img) => img.alt === hostile).length,
      }), HOSTILE_TITLE);
      if (facts.charset !== 'UTF-8') this.fail(where, `read as ${facts.charset}, not UTF-8`);
      if (facts.lang !== language) this.fail(where, `the html element's lang is "${facts.lang}", not "${language}"`);
      if (!facts.title.trim()) this.fail(where, 'the page has no title');
      if (facts.injected) this.fail(where, `${facts.injected} element(s) with an onerror attribute`);
      this.hostileTitlesShown += facts.hostileTitles;
      if (facts.noAlt) this.fail(where, `${facts.noAlt} picture(s) without alt text`);
      if (facts.width > PHONE.width) this.fail(where, `content is ${facts.width} px wide on a ${PHONE.width} px phone`);
      await page.waitForTimeout(50);
      for (const problem of problems) this.fail(where, problem);
    });
  }

  // On a picture page, the arrow keys and Escape follow the previous, next and overview links.
  async checkKeyboard(pictureFile, where) {
    const navLink = (name) => {
      const a = document.querySelector(`a[data-nav="${name}"][href]`);
      return a ? a.href : '';
    };
    await this.with(pictureFile, DESKTOP, async (page, problems) => {
      const [next, up] = [await page.evaluate(navLink, 'next'), await page.evaluate(navLink, 'up')];
      // A layout without the keyboard script marks no links; it is not checked here.
      if (!next && !up && !await page.evaluate(navLink, 'prev')) return;
      if (!next) return this.fail(where, 'the picture page has no next link to follow');
      this.keyboardChecked++;
      await Promise.all([page.waitForURL(next), page.keyboard.press('ArrowRight')]);
      const prevThere = await page.evaluate(navLink, 'prev');
      if (prevThere) await Promise.all([page.waitForURL(prevThere), page.keyboard.press('ArrowLeft')]);
      if (page.url() !== here(pictureFile)) {
        this.fail(where, `ArrowRight then ArrowLeft ended on ${page.url()}, not where it started`);
      }
      if (up) await Promise.all([page.waitForURL(up), page.keyboard.press('Escape')]);
      // Leaving a page cancels the requests still under way; only errors count here.
      for (const problem of problems) if (!problem.startsWith('request failed')) this.fail(where, problem);
    }).catch((error) => this.fail(where, `keyboard navigation: ${error.message.split('\n')[0]}`));
  }

  // The first picture's previous link leads nowhere: it is shown disabled, the arrow key stays.
  async checkFirstPage(pictureFile, where) {
    await this.with(pictureFile, DESKTOP, async (page) => {
      const state = await page.evaluate(() => {
        const a = document.querySelector('a[data-nav="prev"]');
        return a ? { href: a.hasAttribute('href'), disabled: a.getAttribute('aria-disabled') } : null;
      });
      if (state && (state.href || state.disabled !== 'true')) {
        this.fail(where, 'the previous link on the first picture is not shown as disabled');
      }
      await page.keyboard.press('ArrowLeft');
      await page.waitForTimeout(200);
      if (page.url() !== here(pictureFile)) this.fail(where, `ArrowLeft on the first picture went to ${page.url()}`);
    });
  }
}

async function checkGallery(checker, name, galleryDir, startPage, shotsDir, language, foreign) {
  if (!startPage || !fs.existsSync(startPage)) {
    return checker.fail(name, `kelvo-cli named no existing start page (got "${startPage}")`);
  }
  const pages = listFiles(galleryDir, (f) => /\.s?html?$/i.test(f));
  process.stdout.write(`${name}: ${pages.length} pages\n`);
  const before = checker.failures.length;
  const titlesBefore = checker.hostileTitlesShown;
  const offeredBefore = checker.offered2x;
  for (const file of pages) await checker.checkPage(name, file, galleryDir, language, foreign);
  if (name !== 'example' && checker.hostileTitlesShown === titlesBefore) {
    checker.fail(name, `no picture shows the title ${HOSTILE_TITLE} as its alt text`);
  }
  // The example's project was saved before densities existed, so its layers keep 1x only.
  if (name !== 'example' && checker.offered2x === offeredBefore) {
    checker.fail(name, 'no picture of the gallery has a 2x version');
  }

  // The picture pages that the first two pictures of the overview link to.
  const [first, second] = await checker.with(startPage, DESKTOP, async (page) => {
    const targets = (await page.evaluate(() => Array.from(document.querySelectorAll('table a[href]'), (a) => a.href)))
      .filter((h) => h.split('#')[0] !== here(startPage) && h.endsWith('.html')).map((h) => fileURLToPath(h));
    return [targets[0] || '', targets[Math.min(1, targets.length - 1)] || ''];
  });
  if (!second) {
    checker.fail(name, 'the start page links to no picture page');
  } else {
    await checker.checkKeyboard(second, `${name} keyboard`);
    await checker.checkFirstPage(first, `${name} first picture`);
  }
  if (shotsDir) {
    fs.mkdirSync(shotsDir, { recursive: true });
    const shots = [[startPage, 'overview']].concat(second ? [[second, 'picture']] : []);
    for (const [file, kind] of shots) {
      for (const [viewport, scheme, suffix] of [[DESKTOP, 'light', 'desktop'], [PHONE, 'dark', 'phone-dark']]) {
        await checker.with(file, viewport, async (page) => {
          await checker.loadAllImages(page);
          await page.waitForTimeout(150);
          await page.screenshot({ path: path.join(shotsDir, `${name}-${kind}-${suffix}.png`), fullPage: viewport === PHONE });
        }, scheme);
      }
    }
  }
  if (checker.failures.length === before) checker.passed++;
  else checker.failed++;
}

async function main() {
  const args = parseArgs(process.argv.slice(2));
  let chromium;
  try {
    ({ chromium } = require('playwright-core'));
  } catch (error) {
    throw new Error(`playwright-core is not installed in ${__dirname} (run scripts/setup.sh, ` +
                    `which runs npm ci there): ${error.message}`);
  }
  fs.mkdirSync(args.work, { recursive: true });
  const count = preparePictures(args.pictures, path.join(args.work, 'pictures'));
  const shotsDir = path.join(args.work, 'screenshots');
  fs.rmSync(shotsDir, { recursive: true, force: true });

  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'kelvo-e2e-profile-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: args.chromium,
    headless: true,
    deviceScaleFactor: DEVICE_SCALE,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run'],
  });
  // Requests outside the gallery are recorded by the pages' listeners and refused here.
  await context.route(/^(?!file:|data:|blob:|about:)/, (route) => route.abort('blockedbyclient'));
  const checker = new Checker(context);
  const galleries = [];
  // Each job: a gallery name, its output folder, the kelvo-cli runs that make it, its language
  // and the English words it must not show. Every layout is made in English and in German.
  const layouts = fs.readdirSync(args.layouts, { withFileTypes: true })
    .filter((e) => e.isDirectory() && !e.name.startsWith('.')).map((e) => e.name)
    .sort((a, b) => a.toLowerCase().localeCompare(b.toLowerCase()));
  if (layouts.length === 0) throw new Error(`no layouts in ${args.layouts}`);
  const jobs = ['en', 'de'].flatMap((language) => layouts.map((layout) => {
    const name = language === 'en' ? layout : `${layout}-${language}`;
    const project = path.join(args.work, name, 'gallery.kel');
    const out = path.join(args.work, name, 'gallery');
    return [name, path.join(args.work, name), out, [
      ['new', project, '--layout', layout, '--layouts', args.layouts, '--language', language,
       path.join(args.work, 'pictures')],
      ['generate', project, '--output', out, '--layouts', args.layouts]],
    language, foreignWords(readWords(path.join(args.layouts, layout)), language)];
  }));
  if (args.example) {
    const out = path.join(args.work, 'example');
    jobs.push(['example', out, out, [['generate', args.example, '--output', out, '--layouts', args.layouts]], 'en', []]);
  }
  try {
    for (const [name, dir, out, runs, language, foreign] of jobs) {
      fs.rmSync(dir, { recursive: true, force: true });
      fs.mkdirSync(dir, { recursive: true });
      try {
        galleries.push([name, out, runs.map((run) => runCli(args.cli, run)).pop(), language, foreign]);
      } catch (error) {
        checker.fail(name, error.message);
        checker.failed++;
      }
    }
    for (const [name, out, start, language, foreign] of galleries) {
      // Screenshots of the English galleries; the German ones look the same but for the words.
      const shots = name === 'example' || language !== 'en' ? '' : shotsDir;
      await checkGallery(checker, name, out, start, shots, language, foreign);
    }
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }

  if (galleries.length > 0 && checker.keyboardChecked === 0) {
    checker.fail('keyboard', 'no layout has previous/next links for the arrow keys (data-nav)');
    checker.failed++;
  }
  for (const failure of checker.failures) process.stdout.write(`FAIL ${failure}\n`);
  process.stdout.write(`${count} pictures; screenshots in ${shotsDir}\n`);
  process.stdout.write(`galleries: ${checker.passed} passed, ${checker.failed} failed\n`);
  return checker.failures.length === 0 ? 0 : 1;
}

main().then((code) => process.exit(code), (error) => {
  process.stderr.write(`${error.stack || error}\n`);
  process.exit(1);
});
