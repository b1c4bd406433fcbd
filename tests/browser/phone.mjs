// What the phone journeys measure in a page: its width against the screen's, touch
// targets, and the axe-core accessibility audit.
import fs from 'node:fs';
import { createRequire } from 'node:module';

// A phone of 390 × 844 CSS pixels with touch, as a passenger holds it.
export const phone = {
  viewport: { width: 390, height: 844 },
  isMobile: true,
  hasTouch: true,
  userAgent: 'Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) ' +
    'Chrome/126.0 Mobile Safari/537.36',
};

// The width of the document at each of `widths`, with the elements that stick out of the
// screen (those inside a box that scrolls on its own do not count).
export async function widths(page, widths = [360, 390, 414]) {
  const measured = {};
  for (const width of widths) {
    await page.setViewportSize({ width, height: phone.viewport.height });
    measured[width] = await page.evaluate(() => {
      const screen = document.documentElement.clientWidth;
      const scrolls = (e) => ['auto', 'scroll'].includes(getComputedStyle(e).overflowX);
      const inScrollingBox = (e) => { for (let p = e.parentElement; p && p !== document.body; p = p.parentElement) if (scrolls(p)) return true; return false; };
      const out = [...document.querySelectorAll('body *')]
        .filter((e) => e.getClientRects().length && e.getBoundingClientRect().right > screen + 0.5 && !inScrollingBox(e))
        .map((e) => e.id || e.className || e.tagName).slice(0, 5);
      return { width: document.documentElement.scrollWidth, out };
    });
  }
  await page.setViewportSize(phone.viewport);
  return measured;
}

// Controls a finger must hit that are smaller than 44 × 44 CSS pixels (a check box counts
// with its caption, which takes the tap too).
export async function smallTargets(page) {
  return page.evaluate(() => {
    const targets = 'button, select, input:not([type=hidden]):not([type=checkbox]), textarea, a.kv-label, .kv-check label';
    return [...document.querySelectorAll(targets)]
      .filter((e) => e.getClientRects().length && !e.closest('.kv-check input'))
      .filter((e) => { const r = e.getBoundingClientRect(); return r.width < 44 || r.height < 44; })
      .map((e) => `${e.id || e.closest('[id]')?.id || e.tagName} ${Math.round(e.getBoundingClientRect().width)}x` +
        `${Math.round(e.getBoundingClientRect().height)}`);
  });
}

const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

// The audit's violations, as "impact rule: element, ..." lines.
export async function audit(page) {
  if (!(await page.evaluate(() => 'axe' in window))) await page.addScriptTag({ content: axeSource });
  const result = await page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }));
  return result.violations.map((v) => ({
    impact: v.impact,
    text: `${v.impact} ${v.id}: ${v.nodes.map((n) => n.target.join(' ')).slice(0, 4).join(', ')}`,
  }));
}
