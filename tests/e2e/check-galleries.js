#!/usr/bin/env node
// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Makes a gallery with every layout of a layouts folder through kelvo-cli and opens every page
// of it in headless Chromium, the way a visitor would. A page fails on: a picture that does not
// load, a link or resource that points at a missing file or outside the gallery folder, a
// console error or failed request, a resource from the net, a tag left unfilled, a missing
// lang, title or alt text, or content wider than a phone.
// Writes screenshots of an overview and a picture page per layout into <work>/screenshots.
//
//   node check-galleries.js --cli build/bin/kelvo-cli --layouts Layouts --pictures Pictures
//                           --work build/tests/e2e/galleries [--example examples/sample-gallery.kel]
//                           [--chromium /usr/bin/chromium]
'use strict';

const childProcess = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { pathToFileURL, fileURLToPath } = require('url');

const PHONE = { width: 390, height: 844 };
const DESKTOP = { width: 1280, height: 800 };
const BROWSER_FLAGS = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--no-first-run',
];
// A photo's file name that would inject a script if a title went into a page unescaped; its
// title must read exactly so wherever the picture is shown.
const HOSTILE_TITLE = `Tom & "Jerry" <img src=x onerror=alert(1)>'s`;
// Elements whose address the browser fetches by itself: these must stay inside the gallery.
const RESOURCE_SELECTOR =
  'img[src], link[href], script[src], iframe[src], source[src], video[src], audio[src], embed[src], object[data]';

function parseArgs(argv) {
  const args = { chromium: '/usr/bin/chromium' };
  for (let i = 0; i < argv.length; i++) {
    const key = argv[i].replace(/^--/, '');
    if (!['cli', 'layouts', 'pictures', 'work', 'example', 'chromium'].includes(key) ||
        i + 1 >= argv.length) {
      throw new Error(`unknown or incomplete argument: ${argv[i]}`);
    }
    args[key] = path.resolve(argv[++i]);
  }
  for (const key of ['cli', 'layouts', 'pictures', 'work']) {
    if (!args[key]) throw new Error(`missing --${key}`);
  }
  return args;
}

function loadPlaywright() {
  try {
    return require('playwright-core');
  } catch (error) {
    throw new Error(`playwright-core is not installed in ${__dirname} (run scripts/setup.sh, ` +
                    `which runs npm ci there): ${error.message}`);
  }
}

// Runs kelvo-cli and returns its standard output; a non-zero exit fails with its messages.
function runCli(cli, args) {
  const result = childProcess.spawnSync(cli, args, { encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
  if (result.error) throw new Error(`cannot run ${cli}: ${result.error.message}`);
  if (result.status !== 0) {
    throw new Error(`kelvo-cli ${args.join(' ')} exited with ${result.status}:\n` +
                    `${result.stdout}${result.stderr}`);
  }
  return result.stdout;
}

// The last non-empty line kelvo-cli generate prints is the gallery's start page.
function startPageOf(output) {
  const lines = output.split(/\r?\n/).map((l) => l.trim()).filter((l) => l.length > 0);
  return lines.length ? lines[lines.length - 1] : '';
}

function listFiles(dir, predicate, found = []) {
  for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
    const full = path.join(dir, entry.name);
    if (entry.isDirectory()) listFiles(full, predicate, found);
    else if (predicate(full)) found.push(full);
  }
  return found.sort();
}

function listLayouts(root) {
  return fs.readdirSync(root, { withFileTypes: true })
    .filter((e) => e.isDirectory() && !e.name.startsWith('.'))
    .map((e) => e.name)
    .sort((a, b) => a.toLowerCase().localeCompare(b.toLowerCase()));
}

// The sample photos twice over, the second time under names with spaces, brackets and an
// umlaut, so that overviews get more than one page and links take the link form of names; and
// one more under HOSTILE_TITLE.
function preparePictures(source, target) {
  fs.rmSync(target, { recursive: true, force: true });
  fs.mkdirSync(target, { recursive: true });
  const photos = fs.readdirSync(source).filter((n) => /\.(jpe?g|bmp)$/i.test(n)).sort();
  if (photos.length === 0) throw new Error(`no pictures in ${source}`);
  for (const name of photos) {
    fs.copyFileSync(path.join(source, name), path.join(target, name));
    const ext = path.extname(name);
    fs.copyFileSync(path.join(source, name),
                    path.join(target, `Über ${path.basename(name, ext)} (2)${ext}`));
  }
  fs.copyFileSync(path.join(source, photos[0]), path.join(target, `${HOSTILE_TITLE}.jpg`));
  return photos.length * 2 + 1;
}

function isLocal(url) {
  return url.startsWith('file:') || url.startsWith('data:') || url.startsWith('about:') ||
         url.startsWith('blob:');
}

class Checker {
  constructor(context) {
    this.context = context;
    this.failures = [];
    this.passed = 0;
    this.failed = 0;
    this.keyboardChecked = 0;
    this.hostileTitlesShown = 0;
  }

  fail(where, message) {
    this.failures.push(`${where}: ${message}`);
  }

  // Opens a page at the given viewport and collects what went wrong while it loaded.
  async open(file, viewport, colorScheme = 'light') {
    const page = await this.context.newPage();
    const problems = [];
    page.on('console', (msg) => {
      if (msg.type() === 'error') problems.push(`console error: ${msg.text()}`);
    });
    page.on('pageerror', (error) => problems.push(`script error: ${error.message}`));
    page.on('dialog', (dialog) => {
      problems.push(`a script ran: ${dialog.type()} "${dialog.message()}"`);
      dialog.dismiss().catch(() => {});
    });
    page.on('requestfailed', (request) => {
      const reason = request.failure() ? request.failure().errorText : 'failed';
      problems.push(`request failed: ${request.url()} (${reason})`);
    });
    page.on('request', (request) => {
      if (!isLocal(request.url())) problems.push(`non-local resource: ${request.url()}`);
    });
    await page.setViewportSize(viewport);
    await page.emulateMedia({ colorScheme });
    await page.goto(pathToFileURL(file).href, { waitUntil: 'load' });
    return { page, problems };
  }

  // Loads every picture of every frame now (lazy ones included) and reports broken ones.
  async loadAllImages(page) {
    const broken = [];
    for (const frame of page.frames()) {
      const result = await frame.evaluate(async () => {
        const images = Array.from(document.images);
        for (const img of images) img.loading = 'eager';
        await Promise.all(images.map((img) => (img.complete ? null : new Promise((resolve) => {
          img.addEventListener('load', resolve, { once: true });
          img.addEventListener('error', resolve, { once: true });
        }))));
        return images.filter((img) => img.naturalWidth === 0).map((img) => img.getAttribute('src'));
      });
      broken.push(...result);
    }
    return broken;
  }

  // Every link and resource of every frame that points at a local file must find that file,
  // inside the gallery.
  async checkReferences(page, where, galleryDir) {
    for (const frame of page.frames()) {
      const refs = await frame.evaluate((selector) => {
        const out = [];
        for (const a of document.querySelectorAll('a[href]')) out.push({ kind: 'link', url: a.href, raw: a.getAttribute('href') });
        for (const el of document.querySelectorAll(selector)) {
          const attr = el.hasAttribute('src') ? 'src' : el.hasAttribute('href') ? 'href' : 'data';
          out.push({ kind: 'resource', url: el[attr] || el.getAttribute(attr), raw: el.getAttribute(attr) });
        }
        return out;
      }, RESOURCE_SELECTOR);
      for (const ref of refs) {
        if (ref.url.startsWith('file:')) {
          const file = fileURLToPath(ref.url.split('#')[0].split('?')[0]);
          if (!fs.existsSync(file)) {
            this.fail(where, `${ref.kind} "${ref.raw}" points at a missing file`);
          } else if (path.relative(galleryDir, file).startsWith('..')) {
            // Fine on this disk, broken once the gallery folder is published on its own.
            this.fail(where, `${ref.kind} "${ref.raw}" points outside the gallery folder`);
          }
        } else if (ref.kind === 'resource' && !isLocal(ref.url)) {
          this.fail(where, `resource "${ref.raw}" is not part of the gallery`);
        }
      }
    }
  }

  async checkPage(name, file, galleryDir) {
    const where = `${name}/${path.relative(galleryDir, file).split(path.sep).join('/')}`;
    const source = fs.readFileSync(file, 'utf8');
    const leftover = source.match(/#kel_[^#]*#/i);
    if (leftover) this.fail(where, `tag left unfilled: ${leftover[0]}`);

    const { page, problems } = await this.open(file, PHONE);
    try {
      const broken = await this.loadAllImages(page);
      for (const src of broken) this.fail(where, `picture does not load: ${src}`);
      await this.checkReferences(page, where, galleryDir);
      const facts = await page.evaluate((hostile) => ({
        charset: document.characterSet,
        lang: document.documentElement.getAttribute('lang') || '',
        title: document.title,
        width: document.documentElement.scrollWidth,
        imagesWithoutAlt: Array.from(document.images).filter((img) => !img.hasAttribute('alt')).length,
        injected: document.querySelectorAll('[onerror]').length,
        hostileTitles: Array.from(document.images).filter((img) => img.alt === hostile).length,
      }), HOSTILE_TITLE);
      if (facts.charset !== 'UTF-8') this.fail(where, `read as ${facts.charset}, not UTF-8`);
      if (!facts.lang) this.fail(where, 'the html element has no lang attribute');
      if (!facts.title.trim()) this.fail(where, 'the page has no title');
      if (facts.injected) this.fail(where, `${facts.injected} element(s) with an onerror attribute`);
      this.hostileTitlesShown += facts.hostileTitles;
      if (facts.imagesWithoutAlt) this.fail(where, `${facts.imagesWithoutAlt} picture(s) without alt text`);
      if (facts.width > PHONE.width) {
        this.fail(where, `content is ${facts.width} px wide on a ${PHONE.width} px phone`);
      }
      await page.waitForTimeout(50);
      for (const problem of problems) this.fail(where, problem);
    } finally {
      await page.close();
    }
  }

  async screenshot(file, viewport, colorScheme, target) {
    const { page } = await this.open(file, viewport, colorScheme);
    try {
      await this.loadAllImages(page);
      await page.waitForTimeout(150);
      await page.screenshot({ path: target, fullPage: viewport === PHONE });
    } finally {
      await page.close();
    }
  }

  // The page that the n-th picture of an overview links to: a page of a picture layer.
  async pictureLinkOf(overview, index) {
    const { page } = await this.open(overview, DESKTOP);
    try {
      const hrefs = await page.evaluate(() => Array.from(document.querySelectorAll('table a[href]')).map((a) => a.href));
      const here = pathToFileURL(overview).href;
      const targets = hrefs.filter((h) => h.split('#')[0] !== here && h.endsWith('.html'));
      const href = targets[Math.min(index, targets.length - 1)];
      return href ? fileURLToPath(href) : '';
    } finally {
      await page.close();
    }
  }

  // On a picture page, the arrow keys and Escape follow the previous, next and overview links.
  async checkKeyboard(pictureFile, where) {
    const { page, problems } = await this.open(pictureFile, DESKTOP);
    try {
      const links = await page.evaluate(() => {
        const pick = (name) => {
          const a = document.querySelector(`a[data-nav="${name}"][href]`);
          return a ? a.href : '';
        };
        return { next: pick('next'), prev: pick('prev'), up: pick('up') };
      });
      // A layout without the keyboard script marks no links; it is not checked here.
      if (!links.next && !links.prev && !links.up) return;
      if (!links.next) {
        this.fail(where, 'the picture page has no next link to follow');
        return;
      }
      this.keyboardChecked++;
      await Promise.all([page.waitForURL(links.next), page.keyboard.press('ArrowRight')]);
      const prevThere = await page.evaluate(() => {
        const a = document.querySelector('a[data-nav="prev"][href]');
        return a ? a.href : '';
      });
      if (prevThere) {
        await Promise.all([page.waitForURL(prevThere), page.keyboard.press('ArrowLeft')]);
      }
      if (page.url() !== pathToFileURL(pictureFile).href) {
        this.fail(where, `ArrowRight then ArrowLeft ended on ${page.url()}, not where it started`);
      }
      if (links.up) {
        await Promise.all([page.waitForURL(links.up), page.keyboard.press('Escape')]);
      }
      // Leaving a page cancels the requests still under way; only errors count here.
      for (const problem of problems) {
        if (!problem.startsWith('request failed')) this.fail(where, problem);
      }
    } catch (error) {
      this.fail(where, `keyboard navigation: ${error.message.split('\n')[0]}`);
    } finally {
      await page.close();
    }
  }

  // On the first picture page the previous link leads nowhere: it must not look like a link,
  // and the arrow key must stay on the page.
  async checkFirstPage(pictureFile, where) {
    const { page } = await this.open(pictureFile, DESKTOP);
    try {
      const state = await page.evaluate(() => {
        const a = document.querySelector('a[data-nav="prev"]');
        return a ? { href: a.hasAttribute('href'), disabled: a.getAttribute('aria-disabled') } : null;
      });
      if (state && (state.href || state.disabled !== 'true')) {
        this.fail(where, 'the previous link on the first picture is not shown as disabled');
      }
      await page.keyboard.press('ArrowLeft');
      await page.waitForTimeout(200);
      if (page.url() !== pathToFileURL(pictureFile).href) {
        this.fail(where, `ArrowLeft on the first picture went to ${page.url()}`);
      }
    } finally {
      await page.close();
    }
  }
}

async function checkGallery(checker, name, galleryDir, startPage, shotsDir) {
  if (!startPage || !fs.existsSync(startPage)) {
    checker.fail(name, `kelvo-cli named no existing start page (got "${startPage}")`);
    return;
  }
  const pages = listFiles(galleryDir, (f) => /\.s?html?$/i.test(f));
  process.stdout.write(`${name}: ${pages.length} pages\n`);
  const before = checker.failures.length;
  const titlesBefore = checker.hostileTitlesShown;
  for (const file of pages) {
    await checker.checkPage(name, file, galleryDir);
  }
  if (name !== 'example' && checker.hostileTitlesShown === titlesBefore) {
    checker.fail(name, `no picture shows the title ${HOSTILE_TITLE} as its alt text`);
  }

  const first = await checker.pictureLinkOf(startPage, 0);
  const second = await checker.pictureLinkOf(startPage, 1);
  if (!second) {
    checker.fail(name, 'the start page links to no picture page');
  } else {
    await checker.checkKeyboard(second, `${name} keyboard`);
    await checker.checkFirstPage(first, `${name} first picture`);
  }

  if (shotsDir) {
    fs.mkdirSync(shotsDir, { recursive: true });
    const shots = [
      [startPage, DESKTOP, 'light', 'overview-desktop'],
      [startPage, PHONE, 'dark', 'overview-phone-dark'],
    ];
    if (second) {
      shots.push([second, DESKTOP, 'light', 'picture-desktop'],
                 [second, PHONE, 'dark', 'picture-phone-dark']);
    }
    for (const [file, viewport, scheme, suffix] of shots) {
      await checker.screenshot(file, viewport, scheme, path.join(shotsDir, `${name}-${suffix}.png`));
    }
  }
  if (checker.failures.length === before) checker.passed++;
  else checker.failed++;
}

async function main() {
  const args = parseArgs(process.argv.slice(2));
  const { chromium } = loadPlaywright();
  fs.mkdirSync(args.work, { recursive: true });
  const pictures = path.join(args.work, 'pictures');
  const count = preparePictures(args.pictures, pictures);
  const shotsDir = path.join(args.work, 'screenshots');
  fs.rmSync(shotsDir, { recursive: true, force: true });

  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'kelvo-e2e-profile-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: args.chromium,
    headless: true,
    args: BROWSER_FLAGS,
  });
  // Nothing leaves the machine: a request for anything outside the gallery is recorded by the
  // page's listener and refused here.
  await context.route(/^(?!file:|data:|blob:|about:)/, (route) => route.abort('blockedbyclient'));
  const checker = new Checker(context);
  const galleries = [];
  try {
    const layouts = listLayouts(args.layouts);
    if (layouts.length === 0) throw new Error(`no layouts in ${args.layouts}`);
    for (const layout of layouts) {
      const dir = path.join(args.work, layout);
      fs.rmSync(dir, { recursive: true, force: true });
      fs.mkdirSync(dir, { recursive: true });
      const project = path.join(dir, 'gallery.kel');
      const out = path.join(dir, 'gallery');
      try {
        runCli(args.cli, ['new', project, '--layout', layout, '--layouts', args.layouts, pictures]);
        const output = runCli(args.cli, ['generate', project, '--output', out, '--layouts', args.layouts]);
        galleries.push([layout, out, startPageOf(output)]);
      } catch (error) {
        checker.fail(layout, error.message);
        checker.failed++;
      }
    }
    if (args.example) {
      const out = path.join(args.work, 'example');
      fs.rmSync(out, { recursive: true, force: true });
      try {
        const output = runCli(args.cli, ['generate', args.example, '--output', out, '--layouts', args.layouts]);
        galleries.push(['example', out, startPageOf(output)]);
      } catch (error) {
        checker.fail('example', error.message);
        checker.failed++;
      }
    }
    for (const [name, out, start] of galleries) {
      await checkGallery(checker, name, out, start, name === 'example' ? '' : shotsDir);
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
